#pragma once
// A driver that passes every call to another one: the base of wrappers (the transcript, a
// front's own mapping), which override only the calls they add something to.

#include "serial/SerialDriver.h"

class CForwardingSerialDriver : public ISerialDriver {
 public:
  explicit CForwardingSerialDriver(ISerialDriver& inner) : m_inner(inner) {}

  SerialHandle OpenDevice(const char* name, OpenFailure& failure) override {
    return m_inner.OpenDevice(name, failure);
  }
  bool CloseDevice(SerialHandle h) override { return m_inner.CloseDevice(h); }
  bool GetState(SerialHandle h, SerialState& state) override { return m_inner.GetState(h, state); }
  bool SetState(SerialHandle h, const SerialState& state) override {
    return m_inner.SetState(h, state);
  }
  bool SetTimeouts(SerialHandle h, const SerialTimeouts& timeouts) override {
    return m_inner.SetTimeouts(h, timeouts);
  }
  bool Purge(SerialHandle h, std::uint32_t flags) override { return m_inner.Purge(h, flags); }
  bool ReadBytes(SerialHandle h, void* data, std::uint32_t n, std::uint32_t& done) override {
    return m_inner.ReadBytes(h, data, n, done);
  }
  bool WriteBytes(SerialHandle h, const void* data, std::uint32_t n, std::uint32_t& done) override {
    return m_inner.WriteBytes(h, data, n, done);
  }
  LineFailure LineFailureOf(SerialHandle h) override { return m_inner.LineFailureOf(h); }

 private:
  ISerialDriver& m_inner;
};
