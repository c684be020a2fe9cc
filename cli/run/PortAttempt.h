#pragma once
// One attempt on one port, as the runner and the station make it: a core over the port's
// own driver and pacing, its views, the progress told to --json, the flash tracker and the
// attempt's record, and the question answered by `consent`. Runs on the port's thread.

#include <functional>

#include "cli/run/UpgradeRunner.h"

struct AttemptJob {
  int index;  // the port's place in the run
  const ConsolePort& port;
  const RunPlan& plan;
  IImageFiles& files;  // the image's bytes (read once, or the file)
  const ImageFacts& image;
  int unit = 0;  // the station's unit on this port (from 1); 0 outside a station
  // The question for this port's modem: true to go on. Asked only when a modem waits.
  std::function<bool(const BoxMessage& consent)> consent;
};

PortResult RunAttempt(const AttemptJob& job, RunWorld& world);
