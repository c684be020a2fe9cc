#include "cli/run/InterruptPorts.h"

#include <csignal>
#include <cstring>

namespace {

constexpr std::size_t kLineSize = 512;
char g_lines[kMaxInterruptPorts][static_cast<int>(FlashState::kCount)][kLineSize];
volatile std::sig_atomic_t g_states[kMaxInterruptPorts];
volatile std::sig_atomic_t g_count = 0;

}  // namespace

void SetInterruptPorts(const std::vector<std::string>& names) {
  g_count = 0;
  int n = 0;
  for (const std::string& name : names) {
    if (n == kMaxInterruptPorts) break;
    for (int s = 0; s < static_cast<int>(FlashState::kCount); ++s) {
      const std::string line =
          "  " + name + ": " + FlashStateOf(static_cast<FlashState>(s)).words + "\n";
      const std::size_t length = line.size() < kLineSize - 1 ? line.size() : kLineSize - 1;
      std::memcpy(g_lines[n][s], line.data(), length);
      g_lines[n][s][length] = '\0';
    }
    g_states[n] = static_cast<int>(FlashState::kUntouched);
    ++n;
  }
  g_count = n;
}

void SetInterruptPortState(int port, FlashState state) {
  if (port >= 0 && port < g_count) g_states[port] = static_cast<int>(state);
}

bool InterruptPortsSet() { return g_count > 0; }

void WriteInterruptPorts(void (*write)(const char* text)) {
  for (int i = 0; i < g_count; ++i) write(g_lines[i][g_states[i]]);
}
