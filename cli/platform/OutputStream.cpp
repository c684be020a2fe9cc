#include "cli/platform/OutputStream.h"

#include <atomic>

namespace {

// Lock-free, so that a signal handler may read them.
std::atomic<bool> g_stdoutFailed{false};
std::atomic<bool> g_stderrFailed{false};
static_assert(ATOMIC_BOOL_LOCK_FREE == 2, "the Ctrl-C handlers read these flags");

std::atomic<bool>* FailedFlag(std::FILE* file) {
  if (file == stdout) return &g_stdoutFailed;
  if (file == stderr) return &g_stderrFailed;
  return nullptr;
}

}  // namespace

void WriteOutput(std::FILE* file, const std::string& text) {
  std::atomic<bool>* failed = FailedFlag(file);
  // The stream's own error mark remembers a failure for every writer of it.
  if ((failed && failed->load()) || std::ferror(file)) return;
  const bool written =
      std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
  if (!written && failed) failed->store(true);
}

bool StdoutFailed() { return g_stdoutFailed.load(); }
bool StderrFailed() { return g_stderrFailed.load(); }
