#pragma once
// What the console front needs of the operating system; one implementation per platform
// (cli/posix, cli/win32), chosen by CMake.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cli/platform/ConsolePorts.h"
#include "serial/SerialDriver.h"

// Once at start: a reader of the output that goes away must not end the process (POSIX
// ignores SIGPIPE; a write then fails and cli/platform/OutputStream stops that stream).
void InitPlatform();

// Ports.
// The device a port name stands for here ("COM3" -> "/dev/ttyS2" on Linux), or empty when
// the name is no port on this platform.
std::string PortDevice(const std::string& name);
// The ports find tries when none is given, in order.
std::vector<std::string> DefaultScanPorts();
// The group that owns a device ("dialout"), or empty where the system has none to name.
std::string DeviceGroup(const std::string& device);
// The platform's serial driver, opening each of `ports` by its name; the reason an open
// fails comes from the driver.
std::unique_ptr<ISerialDriver> MakeSerialDriver(const std::vector<ConsolePort>& ports);

// Terminal.
bool StdinIsTerminal();
bool StdoutIsTerminal();
// Drops what was typed but not yet read, so that a question is answered only by what the
// user types after seeing it.
void DiscardTypeAhead();

// Time: sleeps the whole time in one call, and a monotonic clock in milliseconds.
void SleepMs(std::uint32_t ms);
std::uint64_t MonotonicMs();

// Ctrl-C. The handler writes the message in force and ends the process at once with
// status 130; the operating system releases the port. Messages are prepared beforehand.
enum class InterruptState { kNothingWritten, kFlashAtRisk };
void InstallInterruptHandler(const std::string& nothingWritten, const std::string& flashAtRisk);
void SetInterruptState(InterruptState state);
// Whether a progress line drawn with \r is open on the terminal: the handler ends it first.
void SetProgressLineOpen(bool open);
