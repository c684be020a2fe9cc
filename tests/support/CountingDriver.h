#pragma once
// A serial driver that only counts what is asked of it: opens (which may be made to fail),
// closes, the last line settings and time-outs, the purges. Reads bring nothing, writes
// take everything.

#include "serial/SerialDriver.h"

class CCountingDriver : public ISerialDriver {
 public:
  bool openSucceeds = true;
  int opens = 0, closes = 0;
  SerialState lastState;
  SerialTimeouts lastTimeouts;
  std::uint32_t purgeFlags = 0;

  SerialHandle OpenDevice(const char*, OpenFailure& failure) override {
    ++opens;
    failure = openSucceeds ? OpenFailure::kNone : OpenFailure::kMissing;
    return openSucceeds ? 7 : kInvalidHandle;
  }
  bool CloseDevice(SerialHandle) override { return ++closes, true; }
  bool GetState(SerialHandle, SerialState& s) override {
    s.BaudRate = 9600;
    return true;
  }
  bool SetState(SerialHandle, const SerialState& s) override { return lastState = s, true; }
  bool SetTimeouts(SerialHandle, const SerialTimeouts& t) override {
    return lastTimeouts = t, true;
  }
  bool Purge(SerialHandle, std::uint32_t f) override { return purgeFlags |= f, true; }
  bool ReadBytes(SerialHandle, void*, std::uint32_t, std::uint32_t& done) override {
    return done = 0, true;
  }
  bool WriteBytes(SerialHandle, const void*, std::uint32_t n, std::uint32_t& done) override {
    return done = n, true;
  }
  LineFailure LineFailureOf(SerialHandle) override { return LineFailure::kNone; }
};
