#pragma once
// Every wait of the modem dialogue goes through here, so that a front keeps its windows
// alive while it waits and tests run on a virtual clock.

#include <cstdint>

class IPacing {
 public:
  virtual ~IPacing() = default;
  // Waits ms milliseconds. Keeps the windows painting, takes no user input.
  virtual void Pause(std::uint32_t ms) = 0;
  // Between two blocks of a transfer: lets the windows repaint, takes no user input.
  virtual void KeepAlive() = 0;
};
