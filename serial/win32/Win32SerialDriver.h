#pragma once
// The serial driver of the Windows build: kernel32 serial calls, one per ISerialDriver call.

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <utility>

#include "serial/SerialDriver.h"

class CWin32SerialDriver : public ISerialDriver {
 public:
  // Port name ("COM12") to device name ("\\.\COM12"); a name not in the table opens as it is.
  using PortTable = std::map<std::string, std::string>;

  CWin32SerialDriver() = default;
  explicit CWin32SerialDriver(PortTable ports) : m_ports(std::move(ports)) {}

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
  // A ReadFile or WriteFile that failed: remembers a device gone from its error.
  void NoteFailure(SerialHandle h);

  // The device's own DCB as last reported, so that a SetState changes only the fields
  // SerialState carries and writes every other one back as the device had it.
  std::map<HANDLE, DCB> m_dcbs;
  // Each handle written to, and whether its last write ended before all was sent: close
  // then drops the queued output rather than waiting to send it to a modem we gave up on;
  // after a complete write it waits for the tail to go out.
  std::map<HANDLE, bool> m_writeCutShort;
  // Handles whose device went away (an adapter pulled out or without power).
  std::set<HANDLE> m_gone;
  PortTable m_ports;
};
