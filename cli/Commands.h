#pragma once
// The three commands of fwupdate; each returns its exit status.

#include <string>
#include <vector>

#include "cli/ConsoleOut.h"
#include "cli/ConsolePorts.h"
#include "cli/JsonEvents.h"
#include "serial/SerialDriver.h"

// What upgrade was told besides its ports.
struct UpgradeChoices {
  std::string image;
  bool yes = false;
  bool skipCurrent = false;
  std::string retryCommand;  // what to run again when a modem is left without firmware
};

// `driver` opens the ports by their names; find takes them in order, and with `all` asks
// every one rather than stopping at the first that answers. `events` writes --json.
// The ports among `ports` where a supported modem answers, each scanned alone; each found
// is printed and reported as an event.
std::vector<ConsolePort> FindModems(CConsoleOut& out, CJsonEvents& events, ISerialDriver& driver,
                                    const std::vector<ConsolePort>& ports);
int RunFind(CConsoleOut& out, CJsonEvents& events, ISerialDriver& driver,
            const std::vector<ConsolePort>& ports, bool all);
int RunInfo(CConsoleOut& out, CJsonEvents& events, ISerialDriver& driver, const ConsolePort& port,
            const std::string& image);
int RunUpgrade(CConsoleOut& out, CJsonEvents& events, ISerialDriver& driver,
               const ConsolePort& port, const UpgradeChoices& choices);
