#pragma once
// One port's attempt as the runner sees it pass: which phase it is in, how long each took,
// each change told to the attempt log. Used from the port's own thread only.

#include <cstdint>
#include <functional>

#include "cli/run/AttemptLog.h"

class CAttemptTrack {
 public:
  CAttemptTrack(IAttemptLog& log, std::function<std::uint64_t()> nowMs, const ConsolePort& port,
                const ImageFacts& image, int unit);

  // The attempt moves on to `phase` (never back); `modem` once its record is known.
  void Reach(AttemptPhase phase, const FirmwareVersionInfo* modem = nullptr);
  void Flash(FlashState state) { m_log.FlashNow(m_figures.historyId, state); }
  // The attempt ended: its figures, also told to the log.
  AttemptFigures Finish(const UpgradeOutcome& outcome);

 private:
  void Close();  // the phase under way ends now

  IAttemptLog& m_log;
  std::function<std::uint64_t()> m_nowMs;
  AttemptFigures m_figures;
  std::uint64_t m_phaseStart;
};
