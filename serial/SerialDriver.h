#pragma once
// The operating-system calls under CComPort, one driver per platform: kernel32 on Windows,
// termios on POSIX, a simulated line on a virtual clock for tests. The calls mirror the
// kernel32 serial calls so that CComPort reads the same over all three.

#include <cstdint>

// A device handle as CComPort stores it: null when nothing is held, invalid after a failed open.
using SerialHandle = std::intptr_t;
constexpr SerialHandle kNullHandle = 0;
constexpr SerialHandle kInvalidHandle = -1;

// Parity, stop-bit, DTR and purge codes with their Win32 names and values; where
// <windows.h> came first its own macros stand.
#ifndef NOPARITY
constexpr std::uint8_t NOPARITY = 0;
constexpr std::uint8_t ONESTOPBIT = 0;
#endif
#ifndef DTR_CONTROL_ENABLE
constexpr std::uint8_t DTR_CONTROL_DISABLE = 0;
constexpr std::uint8_t DTR_CONTROL_ENABLE = 1;
#endif
#ifndef PURGE_TXCLEAR
constexpr std::uint32_t PURGE_TXCLEAR = 0x0004;
constexpr std::uint32_t PURGE_RXCLEAR = 0x0008;
#endif

// The line settings CComPort touches; a driver keeps every other setting as the device had it.
struct SerialState {
  std::uint32_t BaudRate = 0;
  std::uint8_t ByteSize = 8;
  std::uint8_t Parity = NOPARITY;
  std::uint8_t StopBits = ONESTOPBIT;
  bool fOutxCtsFlow = false;
  std::uint8_t fDtrControl = DTR_CONTROL_DISABLE;
};

// Time-outs in milliseconds, with the meaning of COMMTIMEOUTS:
// - a read ends when n bytes came; or after ReadTotalTimeoutMultiplier * n +
//   ReadTotalTimeoutConstant (when either is non-zero); or, when ReadIntervalTimeout is
//   non-zero, when more than that passes between two bytes once the first one came;
// - all three read values zero: wait for all n bytes; interval only: wait without limit
//   for the first byte;
// - a write gives up after WriteTotalTimeoutMultiplier * n + WriteTotalTimeoutConstant when
//   either is non-zero, otherwise waits until all is sent.
struct SerialTimeouts {
  std::uint32_t ReadIntervalTimeout = 0;
  std::uint32_t ReadTotalTimeoutMultiplier = 0;
  std::uint32_t ReadTotalTimeoutConstant = 0;
  std::uint32_t WriteTotalTimeoutMultiplier = 0;
  std::uint32_t WriteTotalTimeoutConstant = 0;
};

// Why an open failed, as the operating system said at that moment.
enum class OpenFailure {
  kNone,     // it opened
  kMissing,  // no such port or device
  kBusy,     // held by another program (or by us)
  kDenied,   // not allowed to this user
  kOther,    // anything else: not a serial device, a device error
};

// Why a read or write on an open port failed, where it matters to the caller.
enum class LineFailure {
  kNone,        // no failure, or one that leaves the device there (a time-out is none)
  kDeviceGone,  // the device went away: an adapter pulled out or without power
};

class ISerialDriver {
 public:
  virtual ~ISerialDriver() = default;

  // Opens the named port ("COM3", or a name the driver's table maps to a device) for
  // reading and writing, exclusively. Returns kInvalidHandle when it cannot be opened, with
  // the reason in `failure` (kNone when it opened).
  virtual SerialHandle OpenDevice(const char* name, OpenFailure& failure) = 0;
  virtual bool CloseDevice(SerialHandle h) = 0;

  virtual bool GetState(SerialHandle h, SerialState& state) = 0;
  virtual bool SetState(SerialHandle h, const SerialState& state) = 0;
  virtual bool SetTimeouts(SerialHandle h, const SerialTimeouts& timeouts) = 0;
  virtual bool Purge(SerialHandle h, std::uint32_t flags) = 0;

  // Synchronous transfers under the time-outs in force; the count done goes to `done`.
  virtual bool ReadBytes(SerialHandle h, void* data, std::uint32_t n, std::uint32_t& done) = 0;
  virtual bool WriteBytes(SerialHandle h, const void* data, std::uint32_t n,
                          std::uint32_t& done) = 0;
  // kDeviceGone once a call on h found the device gone; it stays so until h is closed.
  virtual LineFailure LineFailureOf(SerialHandle h) = 0;
};
