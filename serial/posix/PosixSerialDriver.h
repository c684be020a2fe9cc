#pragma once
// The serial driver of the POSIX build: termios in raw mode, poll() for the time-outs, with
// the same time-out rules as the Windows serial driver so that CComPort behaves alike.

#include <map>
#include <string>

#include "serial/SerialDriver.h"
#include "serial/posix/PosixCalls.h"

class CPosixSerialDriver : public ISerialDriver {
 public:
  // Port name ("COM3") to device path ("/dev/pts/5"); names not in the table do not open.
  using PortTable = std::map<std::string, std::string>;

  // "COMn" -> /dev/ttyS(n-1) for the eight ports the program knows.
  static PortTable DefaultPortTable();

  CPosixSerialDriver();
  explicit CPosixSerialDriver(PortTable ports);
  // Over other system calls than the process's own (tests); `os` must outlive the driver.
  CPosixSerialDriver(PortTable ports, IPosixCalls& os);
  ~CPosixSerialDriver() override;

  CPosixSerialDriver(const CPosixSerialDriver&) = delete;
  CPosixSerialDriver& operator=(const CPosixSerialDriver&) = delete;

  SerialHandle OpenDevice(const char* name, OpenFailure& failure) override;
  bool CloseDevice(SerialHandle h) override;
  bool GetState(SerialHandle h, SerialState& state) override;
  bool SetState(SerialHandle h, const SerialState& state) override;
  bool SetTimeouts(SerialHandle h, const SerialTimeouts& timeouts) override;
  bool Purge(SerialHandle h, std::uint32_t flags) override;
  bool ReadBytes(SerialHandle h, void* data, std::uint32_t n, std::uint32_t& done) override;
  bool WriteBytes(SerialHandle h, const void* data, std::uint32_t n, std::uint32_t& done) override;
  LineFailure LineFailureOf(SerialHandle h) override;

 private:
  struct Device {
    int fd = -1;
    SerialTimeouts timeouts;
    // DTR as last asked for: ptys have no modem lines to read it back from.
    std::uint8_t dtrControl = DTR_CONTROL_DISABLE;
    // The last write ended before all was sent (time-out or failure): close then drops
    // what is still queued instead of waiting to send it to a modem we gave up on. After
    // a complete write close waits for the tail to go out.
    bool writeCutShort = false;
    // Set once a call found the device gone; a pulled adapter does not come back on this fd.
    LineFailure failure = LineFailure::kNone;
  };
  Device* Find(SerialHandle h);
  // A read or write that failed with `error`: remembers a device gone; always false.
  static bool Failed(Device& device, int error);

  PortTable m_ports;
  IPosixCalls& m_os;
  // Handles are small counters, never fds, so a stale handle cannot reach a reused fd.
  std::map<SerialHandle, Device> m_devices;
  SerialHandle m_nextHandle = 1;
};
