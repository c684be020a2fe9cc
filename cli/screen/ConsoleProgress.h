#pragma once
// The progress window on the console: on a terminal a live bar with percent, bytes, rate
// and time left; otherwise a plain line at every tenth of the way.

#include <cstdint>

#include "cli/platform/Platform.h"
#include "cli/screen/ConsoleOut.h"
#include "cli/screen/ProgressMeter.h"
#include "modem/ProgressView.h"

class CConsoleProgress : public IProgressView {
 public:
  // `nowMs`: the clock of the rate and the redraws.
  explicit CConsoleProgress(CConsoleOut& out, std::uint64_t (*nowMs)() = MonotonicMs)
      : m_out(out), m_nowMs(nowMs) {}

  void OpenProgressWindow() override;
  void BeginPhase(ProgressPhase phase, std::uint32_t total) override;
  void Advance(std::uint32_t done) override;
  void EndPhase(ProgressPhase) override {}
  void CloseProgressWindow() override;

 private:
  void Show(bool force);

  CConsoleOut& m_out;
  std::uint64_t (*m_nowMs)();
  CProgressMeter m_meter;
  bool m_open = false;
  std::uint32_t m_done = 0;
  int m_shownPercent = -1;
  std::uint64_t m_shownAtMs = 0;
};
