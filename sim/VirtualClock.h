#pragma once
// Time for tests: milliseconds that pass only when something waits.

#include <cstdint>

class CVirtualClock {
 public:
  std::uint64_t Now() const { return m_nowMs; }
  void Advance(std::uint64_t ms) { m_nowMs += ms; }
  void AdvanceTo(std::uint64_t t) {
    if (t > m_nowMs) m_nowMs = t;
  }

 private:
  std::uint64_t m_nowMs = 0;
};
