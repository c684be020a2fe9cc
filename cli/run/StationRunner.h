#pragma once
// station: each port cycles on its own thread: wait for a modem (the version query at a
// modest rate), leave it alone when it has the image's versions (unless forced), flash it,
// say how it went, wait until it is removed, take the next. One question at the start for
// the whole run; the image is read once. A stop drains: no new unit starts, those under way
// finish, and the run ends with its units' status.

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "cli/run/UpgradeRunner.h"

struct StationPlan {
  RunPlan run;                 // ports, image, yes, serial command; skipCurrent unless forced
  int maxUnits = 0;            // once this many were flashed or failed, the run drains; 0: never
  std::uint32_t pollMs = 250;  // between two looks at an empty port (each takes some 2 s)
};

struct StationTotals {
  int passed = 0;
  int failed = 0;
  int skipped = 0;  // left alone: they had the image's versions
};

// What people see of a station, beside each flash's own views (the run's screen).
class IStationScreen {
 public:
  virtual ~IStationScreen() = default;
  // The question at the start: every modem these ports will see gets the image.
  virtual bool AskStation(const FirmwareVersionInfo& image, bool yes) = 0;
  virtual void Waiting(int port) = 0;            // for a modem
  virtual void Arrived(int port, int unit) = 0;  // a modem answered: it is this unit
  virtual void UnitDone(int port, int unit, const PortResult& result) = 0;
  virtual void Draining(const std::string& why) = 0;
  virtual void StationDone(const StationTotals& totals) = 0;
};

struct StationWorld {
  RunWorld& run;  // its screen shows each flash
  IStationScreen& screen;
  // Whether a stop asked the run to drain (the first Ctrl-C or SIGTERM).
  std::function<bool()> stopAsked;
};

// The exit status: 0 when every unit flashed passed, the many-ports status otherwise.
int RunStation(const StationPlan& plan, StationWorld& world);
