#pragma once
// One open serial port: open by index or name, line settings, time-outs, purges,
// synchronous I/O.

#include <cstdint>
#include <string>

#include "serial/PortNames.h"
#include "serial/SerialDriver.h"

class CComPort {
 public:
  explicit CComPort(ISerialDriver& driver);
  virtual ~CComPort();

  CComPort(const CComPort&) = delete;
  CComPort& operator=(const CComPort&) = delete;

  bool Open(int index);  // PortNames[index]
  bool Open(const std::string& name);
  bool IsOpen() const;
  // Why the last Open failed, as the driver saw it then; kNone after a successful one.
  OpenFailure LastOpenFailure() const { return m_openFailure; }
  bool Configure(std::uint32_t baudRate, std::uint8_t byteSize, std::uint8_t parity,
                 std::uint8_t stopBits);
  // Note the order: for reads the constant comes before the multiplier, for writes after.
  bool SetTimeouts(std::uint32_t readInterval, std::uint32_t readTotalConstant,
                   std::uint32_t readTotalMultiplier, std::uint32_t writeTotalMultiplier,
                   std::uint32_t writeTotalConstant);
  bool PurgeRx();
  bool PurgeTx();
  unsigned Write(const void* data, unsigned n);
  unsigned Read(void* data, unsigned n);
  // kDeviceGone once a read or write found the device gone (until the next Open): a
  // transfer that ended short then did so because the adapter went, not the modem.
  LineFailure LastLineFailure() const { return m_lineFailure; }

 private:
  void NoteFailure();

  ISerialDriver& m_driver;
  SerialState m_dcb;
  SerialHandle m_hComm = kNullHandle;
  OpenFailure m_openFailure = OpenFailure::kNone;
  LineFailure m_lineFailure = LineFailure::kNone;
};
