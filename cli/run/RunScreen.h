#pragma once
// What people see of an upgrade run: each port's views (status, progress, boxes), the one
// question, each port's end and the run's end. One port at a time on a console, or several
// ports on live lines with a summary; the runner is the same.

#include <cstdint>
#include <vector>

#include "cli/texts/AttemptPhases.h"
#include "modem/MessageBoxes.h"
#include "modem/Messages.h"
#include "modem/Outcomes.h"
#include "modem/ProgressView.h"
#include "modem/StatusView.h"

struct PortViews {
  IStatusView& status;
  IProgressView& progress;
  IMessageBoxes& boxes;  // the question never comes here: the runner asks it once for all
};

// A port's modem waiting for the answer, with both records.
struct Arrival {
  int port;
  FirmwareVersionInfo modem;
  FirmwareVersionInfo image;
};

struct PortResult {
  UpgradeOutcome outcome{UpgradeResult::kCount, {}, OpenFailure::kNone, 0, {}, {}, {}, {}};
  std::uint64_t elapsedMs = 0;
  AttemptFigures figures;  // each phase's time, and the history's row
};

class IRunScreen {
 public:
  virtual ~IRunScreen() = default;
  // Port `port`'s views; each port's thread uses only its own.
  virtual PortViews Views(int port) = 0;
  // The image, read once for every port, did not open (kCantOpenImage) or holds no complete
  // record (kIncorrectImage): no port was touched.
  virtual void ImageFailed(BoxId why) = 0;
  // The one question over every modem that waits for it; `yes` answers it for the user.
  virtual bool Ask(const std::vector<Arrival>& waiting, bool yes) = 0;
  // A port's end, from its thread.
  virtual void PortDone(int port, const PortResult& result) = 0;
  // Every port has ended.
  virtual void RunDone(const std::vector<PortResult>& results) = 0;
};
