#pragma once
// find and info; each returns its exit status. upgrade runs on cli/run.

#include <string>
#include <vector>

#include "cli/json/JsonEvents.h"
#include "cli/platform/ConsolePorts.h"
#include "cli/screen/ConsoleOut.h"
#include "serial/SerialDriver.h"

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
