// How closely the POSIX driver keeps the serial time-outs on a pseudo-terminal: for each
// case, the time due and the time taken (min / median / max over several runs).

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "serial/ComPort.h"
#include "serial/posix/PosixSerialDriver.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 7;

double MsSince(Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

struct Pty {
  int master = posix_openpt(O_RDWR | O_NOCTTY);
  std::string slave;
  int keeper = -1;
  Pty() {
    if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0) {
      slave = ptsname(master);
      keeper = open(slave.c_str(), O_RDWR | O_NOCTTY);
    }
  }
  ~Pty() {
    if (keeper >= 0) close(keeper);
    if (master >= 0) close(master);
  }
};

void Report(const char* what, double due, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  std::printf("%-46s due %6.0f ms  took min %7.1f  median %7.1f  max %7.1f\n", what, due,
              ms.front(), ms[ms.size() / 2], ms.back());
}

}  // namespace

int main() {
  Pty pty;
  if (pty.keeper < 0) {
    std::fprintf(stderr, "no pseudo-terminal\n");
    return 1;
  }
  CPosixSerialDriver driver({{"COM3", pty.slave}});
  CComPort port(driver);
  if (!port.Open(2)) {
    std::fprintf(stderr, "cannot open %s\n", pty.slave.c_str());
    return 1;
  }
  port.Configure(115200, 8, NOPARITY, ONESTOPBIT);
  char buf[64];

  struct {
    unsigned c, m, n;
  } totals[] = {{0, 10, 20}, {100, 0, 40}, {500, 0, 40}, {3000, 0, 40}};
  for (auto t : totals) {
    port.SetTimeouts(0, t.c, t.m, 0, 0);
    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
      auto start = Clock::now();
      port.Read(buf, t.n);
      ms.push_back(MsSince(start));
    }
    char what[64];
    std::snprintf(what, sizeof what, "silent read, total %u x %u + %u", t.m, t.n, t.c);
    Report(what, double(t.m) * t.n + t.c, ms);
  }

  // Interval 20 ms: how long after the last byte the read ends.
  port.SetTimeouts(20, 5000, 0, 0, 0);
  std::vector<double> gap;
  for (int i = 0; i < kRuns; ++i) {
    if (write(pty.master, "OK\r\n", 4) != 4) return 1;
    auto start = Clock::now();
    port.Read(buf, sizeof buf);
    gap.push_back(MsSince(start));
  }
  Report("read ended by a 20 ms interval after 4 bytes", 20, gap);

  // Latency of a byte to a waiting read (all-zero time-outs, one byte asked for).
  port.SetTimeouts(0, 0, 0, 0, 0);
  std::vector<double> wake;
  for (int i = 0; i < kRuns; ++i) {
    Clock::time_point sent;
    std::thread peer([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      sent = Clock::now();
      if (write(pty.master, "x", 1) != 1) std::abort();
    });
    port.Read(buf, 1);
    auto woke = Clock::now();
    peer.join();
    wake.push_back(std::chrono::duration<double, std::milli>(woke - sent).count());
  }
  Report("byte to a waiting read (wake-up latency)", 0, wake);

  // Write total with a peer that never reads: the pty buffer fills, then the total runs.
  port.SetTimeouts(0, 0, 0, 0, 300);
  std::vector<char> big(1 << 20, 'x');
  std::vector<double> wr;
  for (int i = 0; i < 3; ++i) {
    auto start = Clock::now();
    port.Write(big.data(), static_cast<unsigned>(big.size()));
    wr.push_back(MsSince(start));
    port.PurgeTx();
    tcflush(pty.master, TCIOFLUSH);
  }
  Report("write into a full buffer, total 300", 300, wr);
  return 0;
}
