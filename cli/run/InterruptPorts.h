#pragma once
// fwupdate stopped (Ctrl-C, SIGTERM, the console closed): where each port was left, said
// from the handler. The lines are prepared beforehand; the handler only reads them and each
// port's state, so it stays async-signal-safe. The platforms' handlers (cli/posix,
// cli/win32) call WriteInterruptPorts and WriteInterruptJson.

#include <cstdint>
#include <string>
#include <vector>

#include "modem/OutcomeTable.h"

// What stopped fwupdate, and the exit status it ends with then.
enum class StopCause { kInterrupt, kTerminate };
int StopStatus(StopCause cause);
// A console event of Windows (its CTRL_*_EVENT value) as a stop: Ctrl-C, Ctrl-Break and the
// console window closed (or the user logging off, the system shutting down) stop as Ctrl-C
// does. False for an event that does not stop fwupdate.
bool StopOfConsoleEvent(unsigned long event, StopCause& cause);

// Each port's name; at most kMaxInterruptPorts are kept (fwupdate refuses more). `lines`:
// a line per port for people; `json`: a port_done event per port and the end event.
constexpr int kMaxInterruptPorts = 64;
// `command` names the run in the end event.
void SetInterruptPorts(const std::vector<std::string>& names, bool lines = true, bool json = false,
                       const char* command = "upgrade");
void SetInterruptPortState(int port, FlashState state);
void SetInterruptPortBytes(int port, std::uint32_t bytes);  // image bytes the modem took
// Writes every port's line through `write`; nothing when no lines were prepared.
void WriteInterruptPorts(void (*write)(const char* text));
// Writes every port's port_done and the end event with `cause`'s status; nothing without
// --json.
void WriteInterruptJson(void (*write)(const char* text), StopCause cause);
bool InterruptPortsSet();
