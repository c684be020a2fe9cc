// The serial time-out cases run through CComPort over the Win32 driver, for Wine to judge.
// The script that runs it maps the ports to simulated modems on pseudo-terminals:
//   COM3 a modem that answers at once, COM4 a silent one, COM5 one that answers after
//   400 ms, COM6 one that stops taking image bytes, COM7 a port held by another program.
// Prints one line per check and exits 1 when any failed.

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "serial/ComPort.h"
#include "serial/win32/Win32SerialDriver.h"

namespace {

constexpr int kCom3 = 2, kCom4 = 3, kCom5 = 4, kCom6 = 5, kCom7 = 6;
constexpr long kAnswerDelay = 400;  // COM5's delay
// A time-out may end this much later than due, never earlier (shared machines).
constexpr long kLate = 1500;

int g_failures = 0;

void Check(bool ok, const char* what, long ms = -1, const std::string& detail = "") {
  std::printf("%s %s", ok ? "ok  " : "FAIL", what);
  if (ms >= 0) std::printf(" (%ld ms)", ms);
  if (!detail.empty()) std::printf(" [%s]", detail.c_str());
  std::printf("\n");
  std::fflush(stdout);
  if (!ok) ++g_failures;
}

long Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<long>(c.QuadPart * 1000 / f.QuadPart);
}

std::string Printable(const std::string& s) {
  std::string out;
  for (unsigned char c : s) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else if (c < 32 || c > 126)
      out += '.';
    else
      out += static_cast<char>(c);
  }
  return out;
}

// A port prepared the way every user of the program prepares it.
struct Port {
  CWin32SerialDriver driver;
  CComPort port{driver};
  bool configured = false;

  explicit Port(int index) {
    if (port.Open(index) && port.IsOpen()) {
      configured = port.Configure(115200, 8, NOPARITY, ONESTOPBIT);
      port.PurgeRx();
      port.PurgeTx();
    }
  }
  void Say(const char* text) { port.Write(text, static_cast<unsigned>(std::strlen(text))); }
  std::string Read(unsigned n, long& ms) {
    std::vector<char> buf(n);
    long start = Now();
    unsigned got = port.Read(buf.data(), n);
    ms = Now() - start;
    return std::string(buf.data(), got);
  }
};

void ReadCases() {
  long ms = 0;
  std::string answer;
  {
    Port p(kCom3);
    Check(p.port.IsOpen(), "COM3 opens");
    Check(p.configured, "Configure succeeds on a pseudo-terminal");
    // Partial data: the answer is shorter than asked for, so the read ends at the total.
    p.port.SetTimeouts(0, 1000, 0, 0, 0);
    p.Say("ati3\r");
    answer = p.Read(200, ms);
    Check(!answer.empty() && answer.size() < 200 && ms >= 1000 && ms < 1000 + kLate,
          "partial answer returned when the total ends", ms, Printable(answer));
  }
  {
    Port p(kCom4);
    // 10 ms x 20 + 300 ms with nothing coming.
    p.port.SetTimeouts(0, 300, 10, 0, 0);
    p.Say("ati3\r");
    std::string got = p.Read(20, ms);
    Check(got.empty() && ms >= 500 && ms < 500 + kLate, "silent modem: 0 bytes after the total",
          ms);
  }
  {
    Port p(kCom5);
    // The gap rule does not run before the first byte.
    p.port.SetTimeouts(50, 5000, 0, 0, 0);
    p.Say("ati3\r");
    std::string got = p.Read(200, ms);
    Check(got == answer && ms >= kAnswerDelay - 50 && ms < kAnswerDelay + kLate,
          "interval ends the read after the first bytes, not before", ms, Printable(got));

    p.port.SetTimeouts(50, 0, 0, 0, 0);
    p.Say("ati3\r");
    got = p.Read(200, ms);
    Check(got == answer && ms >= kAnswerDelay - 50, "interval only: waits for the late first byte",
          ms, Printable(got));

    if (!answer.empty()) {
      p.port.SetTimeouts(0, 0, 0, 0, 0);
      p.Say("ati3\r");
      got = p.Read(static_cast<unsigned>(answer.size()), ms);
      Check(got == answer && ms >= kAnswerDelay - 50, "all zero: waits for every byte", ms,
            Printable(got));
    }
  }
}

void WriteCase() {
  Port p(kCom6);
  // Into the erase and the image, where this modem stops taking bytes.
  p.port.SetTimeouts(0, 3000, 0, 0, 0);
  p.Say("AT&F\r");
  long ms = 0;
  p.Read(6, ms);  // "\r\nOK\r\n"
  p.port.SetTimeouts(200, 3000, 0, 0, 0);
  p.Say("AT+F56=90\r");
  p.Read(200, ms);
  p.Say("y");
  p.port.SetTimeouts(0, 5000, 0, 0, 0);
  std::string ready = p.Read(9, ms);
  Check(ready.find("READY") != std::string::npos, "erase ends with READY", ms, Printable(ready));

  p.port.SetTimeouts(0, 0, 0, 0, 500);
  std::vector<char> image(1 << 20, 'x');
  long start = Now();
  unsigned put = p.port.Write(image.data(), static_cast<unsigned>(image.size()));
  ms = Now() - start;
  Check(put < image.size() && ms >= 500 && ms < 500 + kLate,
        "write gives up at the total when the modem stops taking bytes", ms,
        std::to_string(put) + " bytes");
}

void OpenCases() {
  CWin32SerialDriver driver;
  CComPort held(driver);
  Check(!held.Open(kCom7) && !held.IsOpen(), "a port another program holds does not open");
  CComPort missing(driver);
  Check(!missing.Open(8) && !missing.IsOpen(), "an index outside the table does not open");
}

}  // namespace

int main() {
  ReadCases();
  WriteCase();
  OpenCases();
  std::printf("%s: %d failed\n", g_failures ? "FAIL" : "PASS", g_failures);
  return g_failures ? 1 : 0;
}
