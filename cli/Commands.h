#pragma once
// The three commands of fwupdate; each returns its exit status.

#include <string>
#include <vector>

#include "cli/ConsoleOut.h"
#include "cli/ConsolePorts.h"
#include "serial/SerialDriver.h"

// `driver` opens the ports by their names; find takes them in order.
int RunFind(CConsoleOut& out, ISerialDriver& driver, const std::vector<ConsolePort>& ports);
int RunInfo(CConsoleOut& out, ISerialDriver& driver, const ConsolePort& port,
            const std::string& image);
int RunUpgrade(CConsoleOut& out, ISerialDriver& driver, const ConsolePort& port,
               const std::string& image, bool yes, bool skipCurrent,
               const std::string& retryCommand);
