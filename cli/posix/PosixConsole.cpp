// The terminal, sleeps and Ctrl-C on POSIX systems.

#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "cli/platform/OutputStream.h"
#include "cli/platform/Platform.h"
#include "cli/run/InterruptPorts.h"

namespace {

// Prepared before the handler is installed: the handler only reads them.
char g_nothingWritten[1024];
char g_flashAtRisk[2048];
volatile sig_atomic_t g_state = 0;  // an InterruptState
volatile sig_atomic_t g_lineOpen = 0;
volatile sig_atomic_t g_drainArmed = 0;
volatile sig_atomic_t g_drainRequested = 0;
char g_drainMessage[512];
int g_descriptorLimit = 1024;

void CopyMessage(char* to, std::size_t size, const std::string& text) {
  const std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(to, text.data(), n);
  to[n] = '\0';
}

void WriteAll(int fd, const char* text) {
  std::size_t left = std::strlen(text);
  while (left > 0) {
    const ssize_t n = write(fd, text, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    text += n;
    left -= static_cast<std::size_t>(n);
  }
}

// A stream whose reader went away gets nothing more.
void WriteToStderr(const char* text) {
  if (!StderrFailed()) WriteAll(STDERR_FILENO, text);
}
void WriteToStdout(const char* text) {
  if (!StdoutFailed()) WriteAll(STDOUT_FILENO, text);
}

// Only async-signal-safe calls: write, ioctl, _exit. A second signal while this runs ends
// the process as well: either way every port is released by the kernel.
void OnStop(int signal) {
  if (g_drainArmed && !g_drainRequested) {
    g_drainRequested = 1;
    WriteToStderr(g_drainMessage);
    return;
  }
  const StopCause cause = signal == SIGTERM ? StopCause::kTerminate : StopCause::kInterrupt;
  if (g_lineOpen && !StdoutFailed()) WriteAll(STDOUT_FILENO, "\n");
  // The kernel closes the port and drops its lock at exit, but a pty whose other side stays
  // open would keep its exclusive flag and refuse the next run: clear it on every
  // descriptor we may hold (a descriptor that is no terminal refuses harmlessly).
  for (int fd = STDERR_FILENO + 1; fd < g_descriptorLimit; ++fd) ioctl(fd, TIOCNXCL);
  WriteToStderr(g_state == static_cast<int>(InterruptState::kFlashAtRisk) ? g_flashAtRisk
                                                                          : g_nothingWritten);
  WriteInterruptPorts(WriteToStderr);
  WriteInterruptJson(WriteToStdout, cause);
  _exit(StopStatus(cause));
}

}  // namespace

void InitPlatform() {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGPIPE, &ignore, nullptr);
}

bool StdinIsTerminal() { return isatty(STDIN_FILENO) == 1; }
bool StdoutIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

void DiscardTypeAhead() { tcflush(STDIN_FILENO, TCIFLUSH); }

void SleepMs(std::uint32_t ms) {
  timespec left{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  // One sleep; it is taken up again only when a signal cut it short.
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

std::uint64_t MonotonicMs() {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

void InstallInterruptHandler(const std::string& nothingWritten, const std::string& flashAtRisk) {
  CopyMessage(g_nothingWritten, sizeof g_nothingWritten, nothingWritten);
  CopyMessage(g_flashAtRisk, sizeof g_flashAtRisk, flashAtRisk);
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < 1024) {
    g_descriptorLimit = static_cast<int>(limit.rlim_cur);
  }
  struct sigaction action {};
  action.sa_handler = OnStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  // A closed terminal never stops a flash: what fwupdate writes to it is dropped.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGHUP, &ignore, nullptr);
}

void SetInterruptState(InterruptState state) { g_state = static_cast<int>(state); }

void ArmDrain(const std::string& message) {
  CopyMessage(g_drainMessage, sizeof g_drainMessage, message);
  g_drainArmed = 1;
}

bool DrainRequested() { return g_drainRequested != 0; }

void SetProgressLineOpen(bool open) { g_lineOpen = open ? 1 : 0; }
