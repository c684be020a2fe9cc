#pragma once
// Stand-in until the kernel32 serial driver lands: every port fails to open.
#include "serial/SerialDriver.h"

class CWin32SerialDriver : public ISerialDriver {
 public:
  SerialHandle OpenDevice(const char*) override { return kInvalidHandle; }
  bool CloseDevice(SerialHandle) override { return true; }
  bool GetState(SerialHandle, SerialState&) override { return false; }
  bool SetState(SerialHandle, const SerialState&) override { return false; }
  bool SetTimeouts(SerialHandle, const SerialTimeouts&) override { return false; }
  bool Purge(SerialHandle, std::uint32_t) override { return false; }
  bool ReadBytes(SerialHandle, void*, std::uint32_t, std::uint32_t& done) override {
    done = 0;
    return false;
  }
  bool WriteBytes(SerialHandle, const void*, std::uint32_t, std::uint32_t& done) override {
    done = 0;
    return false;
  }
};
