#pragma once
// Each port's attempt told as it happens, to whoever keeps a record of them (the history):
// begun, each phase reached, ended. A record is written before the modem is touched and
// kept up to date, so that a run that dies leaves it saying how far it got.

#include <cstdint>
#include <string>

#include "cli/platform/ConsolePorts.h"
#include "cli/texts/AttemptPhases.h"
#include "image/ImageDigest.h"
#include "modem/OutcomeTable.h"

class IAttemptLog {
 public:
  virtual ~IAttemptLog() = default;
  // Port `port` begins with `image` (a station's `unit` on it, from 1; 0 outside one); the
  // record's id, or 0 when none is kept.
  virtual std::int64_t Begin(const ConsolePort& port, const ImageFacts& image, int unit) = 0;
  // The attempt reached `phase`; `modem` is the modem's record once it was read, else null.
  virtual void Reached(std::int64_t id, AttemptPhase phase, const FirmwareVersionInfo* modem) = 0;
  // What the modem's flash holds now (it changes before the phase does: the erase begins).
  virtual void FlashNow(std::int64_t id, FlashState state) = 0;
  virtual void Finish(std::int64_t id, const UpgradeOutcome& outcome,
                      const AttemptFigures& figures) = 0;
};

class CNullAttemptLog : public IAttemptLog {
 public:
  std::int64_t Begin(const ConsolePort&, const ImageFacts&, int) override { return 0; }
  void Reached(std::int64_t, AttemptPhase, const FirmwareVersionInfo*) override {}
  void FlashNow(std::int64_t, FlashState) override {}
  void Finish(std::int64_t, const UpgradeOutcome&, const AttemptFigures&) override {}
};
