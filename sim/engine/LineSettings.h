#pragma once
// The line between host and modem as the host set it up. The modem understands the host only
// at 115200 baud, 8 data bits, no parity, one stop bit, with DTR raised.

#include <cstdint>
#include <string>

struct LineSettings {
  std::uint32_t baudRate = 115200;
  std::uint8_t byteSize = 8;
  std::uint8_t parity = 0;    // Windows codes: 0 none, 1 odd, 2 even, 3 mark, 4 space
  std::uint8_t stopBits = 0;  // Windows codes: 0 one, 1 one and a half, 2 two
  bool ctsFlow = true;        // the host waits while the modem holds CTS low
  bool dtr = true;

  bool operator==(const LineSettings& o) const {
    return baudRate == o.baudRate && byteSize == o.byteSize && parity == o.parity &&
           stopBits == o.stopBits && ctsFlow == o.ctsFlow && dtr == o.dtr;
  }
  bool operator!=(const LineSettings& o) const { return !(*this == o); }
};

// Whether the modem understands the host on this line (flow control aside).
bool ServesAt(const LineSettings& line);
// "11520 baud 8N1 DTR on", for the modem's error reports.
std::string Describe(const LineSettings& line);
