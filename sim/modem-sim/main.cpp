// modem-sim: serves simulated modems on pseudo-terminals until told to stop.

#include <poll.h>
#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "sim/modem-sim/Options.h"
#include "sim/modem-sim/PtyModem.h"

namespace {

volatile sig_atomic_t g_stop = 0;

void OnSignal(int) { g_stop = 1; }

void InstallHandlers() {
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = 0;  // no restart: poll returns at once
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
  signal(SIGPIPE, SIG_IGN);
}

}  // namespace

int main(int argc, char** argv) {
  SimOptions options;
  std::string error;
  if (!ParseOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "modem-sim: %s\n\n%s", error.c_str(), kUsage);
    return 2;
  }
  if (options.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  InstallHandlers();

  std::vector<std::unique_ptr<CPtyModem>> ports;
  for (const auto& p : options.ports) {
    ports.push_back(std::make_unique<CPtyModem>(p, options.linkDir, options.recordDir));
    if (!ports.back()->Start(error)) {
      std::fprintf(stderr, "modem-sim: %s\n", error.c_str());
      return 1;
    }
    std::printf("%s %s\n", p.name.c_str(), ports.back()->PtyPath().c_str());
  }
  std::printf("ready\n");
  std::fflush(stdout);

  const auto start = std::chrono::steady_clock::now();
  auto nowMs = [&] {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - start)
                                          .count());
  };
  const std::uint64_t endMs = std::uint64_t{options.maxSeconds} * 1000;
  constexpr std::uint64_t kMaxNapMs = 100;

  while (!g_stop) {
    std::uint64_t now = nowMs();
    if (now >= endMs) break;
    // Two descriptors per port: the pty master, then its watch of opens and closes.
    std::vector<pollfd> fds;
    std::vector<CPtyModem*> owners;
    std::uint64_t wake = std::min(endMs, now + kMaxNapMs);
    for (auto& p : ports) {
      if (p->Gone()) continue;
      fds.push_back({p->MasterFd(), p->PollEvents(now), 0});
      fds.push_back({p->WatchFd(), POLLIN, 0});
      owners.push_back(p.get());
      wake = std::min(wake, p->NextWakeMs(now));
    }
    const int timeout = static_cast<int>(wake > now ? wake - now : 0);
    if (poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) {
      std::perror("modem-sim: poll");
      return 1;
    }
    now = nowMs();
    for (std::size_t i = 0; i < owners.size(); ++i) {
      const auto lines = owners[i]->Service(fds[2 * i].revents, fds[2 * i + 1].revents, now);
      for (const std::string& line : lines) std::printf("%s\n", line.c_str());
      if (!lines.empty()) std::fflush(stdout);
    }
  }
  ports.clear();  // closes the ptys and removes the links
  return 0;
}
