#pragma once
// upgrade over one port or many: one core per port on a thread of its own, each with its
// own driver, pacing and time-outs; one question for all; each port's end as JSON and on
// the screen; one exit status. Everything it touches comes from its world, so tests run it
// on the virtual clock.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/json/JsonEvents.h"
#include "cli/platform/ConsolePorts.h"
#include "cli/run/AttemptLog.h"
#include "cli/run/RunScreen.h"
#include "image/ImageFile.h"
#include "modem/OutcomeTable.h"
#include "modem/Pacing.h"
#include "serial/SerialDriver.h"

struct RunPlan {
  std::vector<ConsolePort> ports;
  std::string image;
  bool yes = false;           // the question is answered without asking
  bool skipCurrent = false;   // a modem that has the image's record is left alone
  bool dryRun = false;        // ask each modem and say current or would update; touch nothing
  std::string serialCommand;  // each modem's identity and serial number asked and recorded
  // Several ports: the image is read and checked once, before any port is touched, and every
  // port reads those bytes. One port reads its file as the dialog program does.
  bool readImageOnce = false;
  bool severalPorts = false;  // the status is the many-ports one unless every port succeeded
};

struct RunWorld {
  // Each port's own driver and pacing: nothing of one port's line is shared.
  std::function<std::unique_ptr<ISerialDriver>(const ConsolePort&)> driverFor;
  std::function<std::unique_ptr<IPacing>(const ConsolePort&)> pacingFor;
  std::function<std::uint64_t()> nowMs;
  IImageFiles& files;
  CJsonEvents& events;
  IRunScreen& screen;
  // Where each port's flash stands and the image bytes its modem took, as they change (for
  // the report when fwupdate is stopped); either may be empty.
  std::function<void(int port, FlashState state)> flashState;
  std::function<void(int port, std::uint32_t bytes)> bytesTaken;
  // Where each port's attempt is recorded as it happens; none when null.
  IAttemptLog* attempts = nullptr;
};

// The exit status of the run.
int RunUpgrades(const RunPlan& plan, RunWorld& world);
