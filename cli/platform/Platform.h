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
// The stable name the system gives a device, a link that survives adapters being
// renumbered (/dev/serial/by-path/..., else /dev/serial/by-id/...), or empty where there is
// none.
std::string StableName(const std::string& device);
// The group that owns a device ("dialout"), or empty where the system has none to name.
std::string DeviceGroup(const std::string& device);
// The platform's serial driver, opening each of `ports` by its name; the reason an open
// fails comes from the driver.
std::unique_ptr<ISerialDriver> MakeSerialDriver(const std::vector<ConsolePort>& ports);

// Image files. Whether `path` can be an image, asked before any port is touched and without
// ever blocking: a FIFO, a device, a directory or a socket is refused by what it is (a
// device is never opened), a regular file of 4 GiB or more because its length does not fit
// the 32-bit count the transfer uses.
enum class ImageFileStatus { kOk, kMissing, kNotRegular, kTooLarge, kError };
enum class ImageFileKind {
  kRegular,
  kDirectory,
  kCharacterDevice,
  kBlockDevice,
  kFifo,
  kSocket,
  kOther
};
struct ImageFileCheck {
  ImageFileStatus status = ImageFileStatus::kOk;
  ImageFileKind kind = ImageFileKind::kRegular;  // kNotRegular: what it is instead
  std::uint64_t size = 0;                        // kOk, kTooLarge: its length in bytes
  std::string reason;  // kMissing, kError: the system's words ("Permission denied")
};
// The largest image: its length must fit the transfer's 32-bit byte count.
constexpr std::uint64_t kMaxImageSize = 0xFFFFFFFFu;
ImageFileCheck CheckImageFile(const std::string& path);

// Terminal.
bool StdinIsTerminal();
bool StdoutIsTerminal();
// Drops what was typed but not yet read, so that a question is answered only by what the
// user types after seeing it.
void DiscardTypeAhead();

// Time: sleeps the whole time in one call, and a monotonic clock in milliseconds.
void SleepMs(std::uint32_t ms);
std::uint64_t MonotonicMs();

// Ctrl-C and SIGTERM (on Windows Ctrl-C, Ctrl-Break and the console closed). The handler
// writes the message in force, where each port was left (and with --json each port's
// port_done and the end), and ends the process at once with status 130 (143 for SIGTERM);
// the operating system releases the ports. Messages are prepared beforehand. SIGHUP is
// ignored: a closed terminal never stops a flash.
enum class InterruptState { kNothingWritten, kFlashAtRisk };
void InstallInterruptHandler(const std::string& nothingWritten, const std::string& flashAtRisk);
void SetInterruptState(InterruptState state);
// A station: the first Ctrl-C or SIGTERM only asks the run to drain, and the handler writes
// `message`; the second stops as above.
void ArmDrain(const std::string& message);
bool DrainRequested();
// Whether a progress line drawn with \r is open on the terminal: the handler ends it first.
void SetProgressLineOpen(bool open);

// The history of attempts. This process and its machine, as a record names them.
std::string HostName();
long ProcessId();
// Changes at every boot; empty where the system has none to give.
std::string BootId();
// Whether process `pid` of this boot still runs.
bool ProcessAlive(long pid);
// Where the history lives when --history names no file: for root the package's folder when
// it is there (/var/lib/orvane-fwupdate), else the user's state folder
// ($XDG_STATE_HOME/fwupdate, ~/.local/state/fwupdate; %LOCALAPPDATA%\fwupdate on Windows).
// Empty when no folder can be named.
std::string DefaultHistoryPath();
// `path` from the root, so that a record read later elsewhere still names the file.
std::string AbsolutePath(const std::string& path);
// Creates the folder a file goes into, and the folders above it; false with the system's
// reason.
bool MakeParentFolders(const std::string& file, std::string& reason);
