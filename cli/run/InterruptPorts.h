#pragma once
// Ctrl-C with several ports: the handler says, port by port, where each was left. The lines
// are prepared beforehand; the handler only reads them and each port's state, so it stays
// async-signal-safe. The platforms' handlers (cli/posix, cli/win32) call WriteInterruptPorts.

#include <string>
#include <vector>

#include "modem/OutcomeTable.h"

// Each port's name; at most kMaxInterruptPorts are kept (fwupdate refuses more).
constexpr int kMaxInterruptPorts = 64;
void SetInterruptPorts(const std::vector<std::string>& names);
void SetInterruptPortState(int port, FlashState state);
// Writes every port's line through `write`; nothing when no ports were set.
void WriteInterruptPorts(void (*write)(const char* text));
bool InterruptPortsSet();
