#pragma once
// The line settings and time-out sets of the modem dialogue, and the common way of
// preparing a freshly opened port.

#include <cstdint>

#include "serial/ComPort.h"

struct TimeoutSet {
  std::uint32_t readInterval;
  std::uint32_t readTotalConstant;
  std::uint32_t readTotalMultiplier;
  std::uint32_t writeTotalMultiplier;
  std::uint32_t writeTotalConstant;
};

namespace timeouts {
// A silent port costs 100 ms per byte asked for.
constexpr TimeoutSet kScan = {0, 1, 100, 100, 0};
// A 60-byte answer is read within 601 ms.
constexpr TimeoutSet kQuery = {0, 1, 10, 100, 0};
constexpr TimeoutSet kUpgradePreparation = {0, 1, 100, 100, 0};
// The modem may take its time before the prompt and "READY", but a dead modem must end the
// wait: 20 s at most for an answer.
constexpr TimeoutSet kErase = {1000, 20000, 0, 100, 0};
// CTS may hold a 1 KiB block for a while (1 ms per byte plus 10 s), and the final answer may
// take up to 20 s; never for ever.
constexpr TimeoutSet kTransfer = {0, 20000, 0, 1, 10000};
}  // namespace timeouts

constexpr std::uint32_t kBaudRate = 115200;
constexpr std::uint8_t kByteSize = 8;

inline void ApplyTimeouts(CComPort& port, const TimeoutSet& t) {
  port.SetTimeouts(t.readInterval, t.readTotalConstant, t.readTotalMultiplier,
                   t.writeTotalMultiplier, t.writeTotalConstant);
}

// After a successful open: line settings, time-outs, empty buffers. The results are not
// judged: a port that misbehaves shows up as a missing answer.
inline void PreparePort(CComPort& port, const TimeoutSet& t) {
  port.Configure(kBaudRate, kByteSize, NOPARITY, ONESTOPBIT);
  ApplyTimeouts(port, t);
  port.PurgeRx();
  port.PurgeTx();
}
