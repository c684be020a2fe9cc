#pragma once
// Small helpers shared by the driver's command files.

#include <windows.h>

#include <cstdlib>
#include <string>

namespace drv {

// Pace of every polling loop: fast enough to see a text shown for 200 ms.
constexpr DWORD kPollMs = 15;
// No pop-up and no box for this long means the button's handler has returned: its own
// gaps between windows are a few hundred milliseconds at most.
constexpr DWORD kIdleMs = 1000;

inline int Number(const std::string& s) {
  return static_cast<int>(std::strtol(s.c_str(), nullptr, 0));
}

inline bool Expired(DWORD start, DWORD timeoutMs) { return GetTickCount() - start >= timeoutMs; }

}  // namespace drv
