#pragma once
// Waits of the console front: the whole pause in one sleep. There are no windows to keep
// alive between blocks.

#include "cli/platform/Platform.h"
#include "modem/Pacing.h"

class CConsolePacing : public IPacing {
 public:
  void Pause(std::uint32_t ms) override { SleepMs(ms); }
  void KeepAlive() override {}
};
