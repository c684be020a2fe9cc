#pragma once
// A transcript of a serial session for support: wraps any driver and writes one timestamped
// entry per call to a file: every byte sent and received (hex and printable), every line
// setting and time-out applied, every read or write that ended short of its count.

#include <cstdio>
#include <functional>

#include "serial/ForwardingSerialDriver.h"

class CLoggingSerialDriver : public CForwardingSerialDriver {
 public:
  // Milliseconds since the transcript began; the steady clock unless a test gives its own.
  using Clock = std::function<double()>;

  // `out` stays the caller's; every entry is flushed at once, so that a transcript cut short
  // by Ctrl-C holds everything up to the cut.
  CLoggingSerialDriver(ISerialDriver& inner, std::FILE* out, Clock clock = nullptr);

  SerialHandle OpenDevice(const char* name, OpenFailure& failure) override;
  bool CloseDevice(SerialHandle h) override;
  bool SetState(SerialHandle h, const SerialState& state) override;
  bool SetTimeouts(SerialHandle h, const SerialTimeouts& timeouts) override;
  bool Purge(SerialHandle h, std::uint32_t flags) override;
  bool ReadBytes(SerialHandle h, void* data, std::uint32_t n, std::uint32_t& done) override;
  bool WriteBytes(SerialHandle h, const void* data, std::uint32_t n, std::uint32_t& done) override;

 private:
  void Entry(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void Bytes(const void* data, std::uint32_t n);
  // One read or write: its count against the one asked for, its time, then its bytes.
  void Transfer(const char* verb, const void* data, std::uint32_t n, std::uint32_t done,
                double startMs, bool ok);

  std::FILE* m_out;
  Clock m_clock;
};
