#pragma once
// find and info; each returns its exit status. upgrade runs on cli/run.

#include <string>
#include <vector>

#include "cli/commands/FindReport.h"
#include "cli/json/JsonEvents.h"
#include "cli/platform/ConsolePorts.h"
#include "cli/screen/ConsoleOut.h"
#include "modem/Pacing.h"
#include "serial/SerialDriver.h"

// What find and info work through: `driver` opens the ports by their names, `pacing` waits,
// `events` writes --json, `groupOf` names the group that owns a device, `stableNameOf` the
// name of a device that survives a renumbering (or empty).
struct CommandWorld {
  using StableNameOf = std::string (*)(const std::string& device);

  CConsoleOut& out;
  CJsonEvents& events;
  ISerialDriver& driver;
  IPacing& pacing;
  CFindReport::GroupOf groupOf;
  StableNameOf stableNameOf;
};

// The ports among `ports` where a supported modem answers, each scanned alone; each found
// is printed and reported as an event, each port looked at goes to `report`.
std::vector<ConsolePort> FindModems(const CommandWorld& world,
                                    const std::vector<ConsolePort>& ports, CFindReport& report);
// find takes the ports in order, and with `all` asks every one rather than stopping at the
// first that answers; `named`: the user named them (else a default scan).
int RunFind(const CommandWorld& world, const std::vector<ConsolePort>& ports, bool all, bool named);
int RunInfo(const CommandWorld& world, const ConsolePort& port, const std::string& image);
