#include "serial/LoggingSerialDriver.h"

#include <chrono>
#include <cstdarg>
#include <ctime>

namespace {

constexpr std::uint32_t kBytesPerLine = 16;

const char* Ok(bool ok) { return ok ? "ok" : "FAILED"; }

char ParityLetter(std::uint8_t parity) {
  static const char kLetters[] = "NOEMS";
  return parity < 5 ? kLetters[parity] : '?';
}

const char* StopBitsText(std::uint8_t stopBits) {
  switch (stopBits) {
    case 0:
      return "1";
    case 1:
      return "1.5";
    case 2:
      return "2";
    default:
      return "?";
  }
}

}  // namespace

CLoggingSerialDriver::CLoggingSerialDriver(ISerialDriver& inner, std::FILE* out, Clock clock)
    : CForwardingSerialDriver(inner), m_out(out), m_clock(std::move(clock)) {
  if (!m_clock) {
    const auto start = std::chrono::steady_clock::now();
    m_clock = [start] {
      return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
          .count();
    };
  }
  const std::time_t now = std::time(nullptr);
  char when[32] = "";
  std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
  std::fprintf(m_out, "serial transcript, started %s; times in seconds from there\n", when);
  std::fflush(m_out);
}

void CLoggingSerialDriver::Entry(const char* format, ...) {
  std::fprintf(m_out, "[%10.3f] ", m_clock() / 1000.0);
  va_list args;
  va_start(args, format);
  std::vfprintf(m_out, format, args);
  va_end(args);
  std::fputc('\n', m_out);
  std::fflush(m_out);
}

// Sixteen bytes a line: hex, then the printable ones as they are and the rest as dots.
void CLoggingSerialDriver::Bytes(const void* data, std::uint32_t n) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (std::uint32_t at = 0; at < n; at += kBytesPerLine) {
    const std::uint32_t count = n - at < kBytesPerLine ? n - at : kBytesPerLine;
    std::fprintf(m_out, "             %08x ", static_cast<unsigned>(at));
    for (std::uint32_t i = 0; i < kBytesPerLine; ++i) {
      if (i < count)
        std::fprintf(m_out, " %02x", bytes[at + i]);
      else
        std::fputs("   ", m_out);
    }
    std::fputs("  |", m_out);
    for (std::uint32_t i = 0; i < count; ++i) {
      const unsigned char c = bytes[at + i];
      std::fputc(c >= 0x20 && c < 0x7f ? c : '.', m_out);
    }
    std::fputs("|\n", m_out);
  }
  std::fflush(m_out);
}

SerialHandle CLoggingSerialDriver::OpenDevice(const char* name, OpenFailure& failure) {
  const SerialHandle h = CForwardingSerialDriver::OpenDevice(name, failure);
  Entry("open %s: %s", name, h == kInvalidHandle ? "FAILED (missing or held)" : "ok");
  return h;
}

bool CLoggingSerialDriver::CloseDevice(SerialHandle h) {
  const bool ok = CForwardingSerialDriver::CloseDevice(h);
  Entry("close: %s", Ok(ok));
  return ok;
}

bool CLoggingSerialDriver::SetState(SerialHandle h, const SerialState& s) {
  const bool ok = CForwardingSerialDriver::SetState(h, s);
  Entry("line %u baud, %u%c%s, CTS flow %s, DTR %s: %s", static_cast<unsigned>(s.BaudRate),
        static_cast<unsigned>(s.ByteSize), ParityLetter(s.Parity), StopBitsText(s.StopBits),
        s.fOutxCtsFlow ? "on" : "off", s.fDtrControl == DTR_CONTROL_ENABLE ? "on" : "off", Ok(ok));
  return ok;
}

bool CLoggingSerialDriver::SetTimeouts(SerialHandle h, const SerialTimeouts& t) {
  const bool ok = CForwardingSerialDriver::SetTimeouts(h, t);
  Entry("time-outs: read interval %u, read %u x n + %u, write %u x n + %u (ms): %s",
        static_cast<unsigned>(t.ReadIntervalTimeout),
        static_cast<unsigned>(t.ReadTotalTimeoutMultiplier),
        static_cast<unsigned>(t.ReadTotalTimeoutConstant),
        static_cast<unsigned>(t.WriteTotalTimeoutMultiplier),
        static_cast<unsigned>(t.WriteTotalTimeoutConstant), Ok(ok));
  return ok;
}

bool CLoggingSerialDriver::Purge(SerialHandle h, std::uint32_t flags) {
  const bool ok = CForwardingSerialDriver::Purge(h, flags);
  Entry("purge%s%s: %s", flags & PURGE_RXCLEAR ? " receive" : "",
        flags & PURGE_TXCLEAR ? " send" : "", Ok(ok));
  return ok;
}

void CLoggingSerialDriver::Transfer(const char* verb, const void* data, std::uint32_t n,
                                    std::uint32_t done, double startMs, bool ok) {
  Entry("%s %u of %u bytes in %.0f ms%s%s", verb, static_cast<unsigned>(done),
        static_cast<unsigned>(n), m_clock() - startMs, done < n && ok ? " (time-out)" : "",
        ok ? "" : " (FAILED)");
  Bytes(data, done);
}

bool CLoggingSerialDriver::ReadBytes(SerialHandle h, void* data, std::uint32_t n,
                                     std::uint32_t& done) {
  const double start = m_clock();
  const bool ok = CForwardingSerialDriver::ReadBytes(h, data, n, done);
  Transfer("received", data, n, done, start, ok);
  return ok;
}

bool CLoggingSerialDriver::WriteBytes(SerialHandle h, const void* data, std::uint32_t n,
                                      std::uint32_t& done) {
  const double start = m_clock();
  const bool ok = CForwardingSerialDriver::WriteBytes(h, data, n, done);
  Transfer("sent", data, n, done, start, ok);
  return ok;
}
