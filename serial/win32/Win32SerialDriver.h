#pragma once
// The serial driver of the Windows build: kernel32 serial calls, one per ISerialDriver call.

#include <windows.h>

#include <map>

#include "serial/SerialDriver.h"

class CWin32SerialDriver : public ISerialDriver {
 public:
  SerialHandle OpenDevice(const char* name) override;
  bool CloseDevice(SerialHandle h) override;
  bool GetState(SerialHandle h, SerialState& state) override;
  bool SetState(SerialHandle h, const SerialState& state) override;
  bool SetTimeouts(SerialHandle h, const SerialTimeouts& timeouts) override;
  bool Purge(SerialHandle h, std::uint32_t flags) override;
  bool ReadBytes(SerialHandle h, void* data, std::uint32_t n, std::uint32_t& done) override;
  bool WriteBytes(SerialHandle h, const void* data, std::uint32_t n,
                  std::uint32_t& done) override;

 private:
  // The device's own DCB as last reported, so that a SetState changes only the fields
  // SerialState carries and writes every other one back as the device had it.
  std::map<HANDLE, DCB> m_dcbs;
};
