#pragma once
// Pacing on a virtual clock: a pause moves the clock on, and nothing sleeps.

#include <cstdint>

#include "modem/Pacing.h"
#include "sim/VirtualClock.h"

class CVirtualPacing : public IPacing {
 public:
  explicit CVirtualPacing(CVirtualClock& clock) : m_clock(clock) {}
  void Pause(std::uint32_t ms) override { m_clock.Advance(ms); }
  void KeepAlive() override {}

 private:
  CVirtualClock& m_clock;
};
