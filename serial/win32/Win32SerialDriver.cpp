#include "serial/win32/Win32SerialDriver.h"

namespace {

HANDLE AsHandle(SerialHandle h) { return reinterpret_cast<HANDLE>(h); }

// The reason an open failed, from the error CreateFileA left. A COM port that another
// program holds answers "access denied", so that means busy here.
OpenFailure FailureOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
      return OpenFailure::kMissing;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
      return OpenFailure::kBusy;
    default:
      return OpenFailure::kOther;
  }
}

// Whether a failed transfer on an open handle means the device went away. A USB adapter
// pulled out fails its I/O with these, access denied included: the handle was good before.
bool GoneError(DWORD error) {
  switch (error) {
    case ERROR_DEVICE_REMOVED:
    case ERROR_BAD_COMMAND:
    case ERROR_ACCESS_DENIED:
    case ERROR_OPERATION_ABORTED:
      return true;
    default:
      return false;
  }
}

// Close waits while the output queue shrinks; one that stands still this long (a modem
// holding CTS low, a dead line) is given up, so a close never waits without end.
constexpr DWORD kDrainLookMs = 20;
constexpr int kDrainStalledLooks = 100;  // 2 s without a byte going out

// Waits until what is queued for the device has gone out, so that the tail of a complete
// write reaches the modem before the port closes. False when the line stalled or cannot
// tell. FlushFileBuffers, which alone could wait for good, comes once the queue is empty.
bool WaitUntilSent(HANDLE h) {
  DWORD last = MAXDWORD;
  int stalledLooks = 0;
  for (;;) {
    DWORD errors = 0;
    COMSTAT status;
    ZeroMemory(&status, sizeof status);
    if (!ClearCommError(h, &errors, &status)) return false;
    if (status.cbOutQue == 0) return FlushFileBuffers(h) != FALSE;
    stalledLooks = status.cbOutQue < last ? 0 : stalledLooks + 1;
    if (stalledLooks >= kDrainStalledLooks) return false;
    last = status.cbOutQue;
    Sleep(kDrainLookMs);
  }
}

}  // namespace

SerialHandle CWin32SerialDriver::OpenDevice(const char* name, OpenFailure& failure) {
  auto mapped = name ? m_ports.find(name) : m_ports.end();
  const char* device = mapped == m_ports.end() ? name : mapped->second.c_str();
  HANDLE h = CreateFileA(device, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
  failure = h == INVALID_HANDLE_VALUE ? FailureOf(GetLastError()) : OpenFailure::kNone;
  return reinterpret_cast<SerialHandle>(h);
}

bool CWin32SerialDriver::CloseDevice(SerialHandle h) {
  m_dcbs.erase(AsHandle(h));
  m_gone.erase(AsHandle(h));
  auto written = m_writeCutShort.find(AsHandle(h));
  if (written != m_writeCutShort.end()) {
    const bool cutShort = written->second;
    m_writeCutShort.erase(written);
    if (cutShort || !WaitUntilSent(AsHandle(h)))
      PurgeComm(AsHandle(h), PURGE_TXABORT | PURGE_TXCLEAR);
  }
  return CloseHandle(AsHandle(h)) != FALSE;
}

bool CWin32SerialDriver::GetState(SerialHandle h, SerialState& state) {
  DCB dcb;
  ZeroMemory(&dcb, sizeof dcb);
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(AsHandle(h), &dcb)) return false;
  m_dcbs[AsHandle(h)] = dcb;
  state.BaudRate = dcb.BaudRate;
  state.ByteSize = dcb.ByteSize;
  state.Parity = dcb.Parity;
  state.StopBits = dcb.StopBits;
  state.fOutxCtsFlow = dcb.fOutxCtsFlow != 0;
  state.fDtrControl = static_cast<std::uint8_t>(dcb.fDtrControl);
  return true;
}

bool CWin32SerialDriver::SetState(SerialHandle h, const SerialState& state) {
  auto it = m_dcbs.find(AsHandle(h));
  if (it == m_dcbs.end()) {
    // Nobody asked for the state yet: start from what the device reports now.
    SerialState ignored;
    if (!GetState(h, ignored)) return false;
    it = m_dcbs.find(AsHandle(h));
  }
  DCB dcb = it->second;
  dcb.BaudRate = state.BaudRate;
  dcb.ByteSize = state.ByteSize;
  dcb.Parity = state.Parity;
  dcb.StopBits = state.StopBits;
  dcb.fOutxCtsFlow = state.fOutxCtsFlow ? 1 : 0;
  dcb.fDtrControl = state.fDtrControl;
  if (!SetCommState(AsHandle(h), &dcb)) return false;
  it->second = dcb;
  return true;
}

bool CWin32SerialDriver::SetTimeouts(SerialHandle h, const SerialTimeouts& timeouts) {
  COMMTIMEOUTS ct;
  ct.ReadIntervalTimeout = timeouts.ReadIntervalTimeout;
  ct.ReadTotalTimeoutMultiplier = timeouts.ReadTotalTimeoutMultiplier;
  ct.ReadTotalTimeoutConstant = timeouts.ReadTotalTimeoutConstant;
  ct.WriteTotalTimeoutMultiplier = timeouts.WriteTotalTimeoutMultiplier;
  ct.WriteTotalTimeoutConstant = timeouts.WriteTotalTimeoutConstant;
  return SetCommTimeouts(AsHandle(h), &ct) != FALSE;
}

bool CWin32SerialDriver::Purge(SerialHandle h, std::uint32_t flags) {
  return PurgeComm(AsHandle(h), flags) != FALSE;
}

bool CWin32SerialDriver::ReadBytes(SerialHandle h, void* data, std::uint32_t n,
                                   std::uint32_t& done) {
  DWORD got = 0;
  BOOL ok = ReadFile(AsHandle(h), data, n, &got, NULL);
  done = got;
  if (!ok) NoteFailure(h);
  return ok != FALSE;
}

bool CWin32SerialDriver::WriteBytes(SerialHandle h, const void* data, std::uint32_t n,
                                    std::uint32_t& done) {
  DWORD put = 0;
  BOOL ok = WriteFile(AsHandle(h), data, n, &put, NULL);
  done = put;
  m_writeCutShort[AsHandle(h)] = ok == FALSE || put < n;
  if (!ok) NoteFailure(h);
  return ok != FALSE;
}

void CWin32SerialDriver::NoteFailure(SerialHandle h) {
  if (GoneError(GetLastError())) m_gone.insert(AsHandle(h));
}

LineFailure CWin32SerialDriver::LineFailureOf(SerialHandle h) {
  return m_gone.count(AsHandle(h)) ? LineFailure::kDeviceGone : LineFailure::kNone;
}
