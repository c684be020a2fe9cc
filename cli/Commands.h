#pragma once
// The three commands of fwupdate; each returns its exit status.

#include <string>
#include <vector>

#include "cli/ConsoleOut.h"
#include "cli/PortSlots.h"
#include "serial/SerialDriver.h"

// Ports come resolved: the user's name and its device; find takes them in order.
int RunFind(CConsoleOut& out, ISerialDriver& driver, const std::vector<PortSlot>& ports);
int RunInfo(CConsoleOut& out, ISerialDriver& driver, const PortSlot& port,
            const std::string& image);
int RunUpgrade(CConsoleOut& out, ISerialDriver& driver, const PortSlot& port,
               const std::string& image, bool yes, const std::string& retryCommand);
