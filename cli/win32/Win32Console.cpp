// The console, sleeps and Ctrl-C on Windows.

#include <windows.h>
#include <io.h>

#include <cstdio>
#include <cstring>

#include "cli/platform/OutputStream.h"
#include "cli/platform/Platform.h"
#include "cli/run/InterruptPorts.h"

namespace {

// Prepared before the handler is installed: the handler only reads them.
char g_nothingWritten[1024];
char g_flashAtRisk[2048];
volatile LONG g_state = 0;  // an InterruptState
volatile LONG g_lineOpen = 0;
volatile LONG g_drainArmed = 0;
volatile LONG g_drainRequested = 0;
char g_drainMessage[512];

void CopyMessage(char* to, std::size_t size, const std::string& text) {
  const std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(to, text.data(), n);
  to[n] = '\0';
}

void WriteText(DWORD stream, const char* text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(stream), text, static_cast<DWORD>(std::strlen(text)), &written, NULL);
}

// A stream whose reader went away gets nothing more.
void WriteToStderr(const char* text) {
  if (!StderrFailed()) WriteText(STD_ERROR_HANDLE, text);
}
void WriteToStdout(const char* text) {
  if (!StdoutFailed()) WriteText(STD_OUTPUT_HANDLE, text);
}

// Runs on a thread of its own: ends the process at once; Windows closes the port.
BOOL WINAPI OnControl(DWORD event) {
  StopCause cause = StopCause::kInterrupt;
  if (!StopOfConsoleEvent(event, cause)) return FALSE;
  if (g_drainArmed && InterlockedExchange(&g_drainRequested, 1) == 0) {
    WriteToStderr(g_drainMessage);
    return TRUE;
  }
  if (g_lineOpen && !StdoutFailed()) WriteText(STD_OUTPUT_HANDLE, "\r\n");
  WriteToStderr(g_state == static_cast<LONG>(InterruptState::kFlashAtRisk) ? g_flashAtRisk
                                                                           : g_nothingWritten);
  WriteInterruptPorts(WriteToStderr);
  WriteInterruptJson(WriteToStdout, cause);
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(StopStatus(cause)));
  return TRUE;
}

}  // namespace

// Windows has no SIGPIPE: a write to a closed pipe just fails.
void InitPlatform() {}

bool StdinIsTerminal() { return _isatty(_fileno(stdin)) != 0; }
bool StdoutIsTerminal() { return _isatty(_fileno(stdout)) != 0; }

void DiscardTypeAhead() { FlushConsoleInputBuffer(GetStdHandle(STD_INPUT_HANDLE)); }

void SleepMs(std::uint32_t ms) { Sleep(ms); }

std::uint64_t MonotonicMs() { return GetTickCount64(); }

void InstallInterruptHandler(const std::string& nothingWritten, const std::string& flashAtRisk) {
  CopyMessage(g_nothingWritten, sizeof g_nothingWritten, nothingWritten);
  CopyMessage(g_flashAtRisk, sizeof g_flashAtRisk, flashAtRisk);
  SetConsoleCtrlHandler(OnControl, TRUE);
}

void SetInterruptState(InterruptState state) { g_state = static_cast<LONG>(state); }

void ArmDrain(const std::string& message) {
  CopyMessage(g_drainMessage, sizeof g_drainMessage, message);
  g_drainArmed = 1;
}

bool DrainRequested() { return g_drainRequested != 0; }

void SetProgressLineOpen(bool open) { g_lineOpen = open ? 1 : 0; }
