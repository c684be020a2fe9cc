#pragma once
// The three commands of fwupdate; each returns its exit status.

#include "cli/Arguments.h"
#include "cli/ConsoleOut.h"
#include "serial/SerialDriver.h"

// `ports` as resolved: the user's name and its device, in order.
struct PortSlot;
int RunFind(CConsoleOut& out, ISerialDriver& driver, const std::vector<PortSlot>& ports);
int RunInfo(CConsoleOut& out, ISerialDriver& driver, const PortSlot& port,
            const std::string& image);
int RunUpgrade(CConsoleOut& out, ISerialDriver& driver, const PortSlot& port,
               const std::string& image, bool yes, const std::string& retryCommand);
