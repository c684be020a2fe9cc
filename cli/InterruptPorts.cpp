#include "cli/InterruptPorts.h"

#include <csignal>
#include <cstring>

namespace {

constexpr std::size_t kLineSize = 512;
char g_lines[kMaxInterruptPorts][static_cast<int>(PortState::kCount)][kLineSize];
volatile std::sig_atomic_t g_states[kMaxInterruptPorts];
volatile std::sig_atomic_t g_count = 0;

const char* StateText(PortState state) {
  switch (state) {
    case PortState::kUntouched:
      return "untouched: its firmware was not touched";
    case PortState::kErased:
      return "erased: the flash may be erased; it will not work until an upgrade completes";
    case PortState::kHalfWritten:
      return "half written: it will not work until an upgrade completes";
    case PortState::kUpdated:
      return "updated";
    case PortState::kCount:
      break;
  }
  return "";
}

}  // namespace

void SetInterruptPorts(const std::vector<std::string>& names) {
  g_count = 0;
  int n = 0;
  for (const std::string& name : names) {
    if (n == kMaxInterruptPorts) break;
    for (int s = 0; s < static_cast<int>(PortState::kCount); ++s) {
      const std::string line = "  " + name + ": " + StateText(static_cast<PortState>(s)) + "\n";
      const std::size_t length = line.size() < kLineSize - 1 ? line.size() : kLineSize - 1;
      std::memcpy(g_lines[n][s], line.data(), length);
      g_lines[n][s][length] = '\0';
    }
    g_states[n] = static_cast<int>(PortState::kUntouched);
    ++n;
  }
  g_count = n;
}

void SetInterruptPortState(int port, PortState state) {
  if (port >= 0 && port < g_count) g_states[port] = static_cast<int>(state);
}

bool InterruptPortsSet() { return g_count > 0; }

void WriteInterruptPorts(void (*write)(const char* text)) {
  for (int i = 0; i < g_count; ++i) write(g_lines[i][g_states[i]]);
}
