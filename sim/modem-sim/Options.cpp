#include "sim/modem-sim/Options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

const char* const kUsage =
    "usage: modem-sim [--link-dir DIR] [--record-dir DIR] [--max-seconds N]\n"
    "                 --port NAME[:key=value[,key=value...]] [--port ...]\n"
    "\n"
    "Serves one simulated modem per --port on a pseudo-terminal, in real time.\n"
    "At start prints one line \"NAME /dev/pts/N\" per port, then \"ready\".\n"
    "\n"
    "  --link-dir DIR     make a symbolic link DIR/NAME to each port's pty (removed at exit)\n"
    "  --record-dir DIR   write every image byte a port receives to DIR/NAME.bin and print\n"
    "                     \"NAME image N bytes\" when its final answer goes\n"
    "  --max-seconds N    end after N seconds (default 3600); SIGTERM or SIGINT end it too\n"
    "  --help             this text\n"
    "\n"
    "Port keys (texts take the escapes \\r \\n \\t \\0 \\\\ \\xHH; a comma is \\x2c):\n"
    "  ident=TEXT         identification in the answer to ati3 (default ZQ713)\n"
    "  ati3=TEXT          whole answer to ati3, sent as it stands\n"
    "  ctlver=TEXT        controller version (default 2.10)\n"
    "  ctldate=TEXT       controller date (default 03/15/02)\n"
    "  dspver=TEXT        DSP version (default 1.07)\n"
    "  dspdate=TEXT       DSP date (default 02/28/02)\n"
    "  ati7=TEXT          whole answer to ATI7, sent as it stands\n"
    "  ati8=TEXT          whole answer to ATI8, sent as it stands\n"
    "  gsn=TEXT           serial number in the answer to AT+GSN (default: none, ERROR)\n"
    "Modems that come and go, as on a station (each a new modem with the port's keys):\n"
    "  units=N            N modems one after another; each is present for stay=MS\n"
    "                     (default 25000), then the port is silent for gap=MS (default\n"
    "                     2000) before the next; prints \"NAME unit K arrives at MS ms\"\n"
    "                     and \"... leaves at MS ms\"; --record-dir gets NAME.K.bin per unit\n"
    "  never-ready=K[+K]  these units never say READY after the erase\n"
    "  unplug=K[+K]       these units are pulled out 3000 bytes into their transfer; the\n"
    "                     next comes gap=MS later\n"
    "  echo=0|1           echo every command byte (default 0)\n"
    "  delay=MS           from a command's carriage return to its answer (default 20)\n"
    "  erase=MS           erase time after \"y\" before READY (default 9000; the program\n"
    "                     waits up to 30000)\n"
    "  ready=TEXT         answer after the erase (default \\r\\nREADY\\r\\n)\n"
    "  final=TEXT         answer after the image (default OK\\r\\n)\n"
    "  idle=MS            image ends after this long without a byte (default 500)\n"
    "  image-length=N     image ends after N bytes instead\n"
    "What real modems also do:\n"
    "  banner=TEXT        sent unasked when the port opens\n"
    "  banner-delay=MS    that long after the open (default 0)\n"
    "  ready-leftover=TEXT sent after READY, leftover-delay later (a late status line)\n"
    "  ati7-leftover=TEXT sent after the ATI7 answer, leftover-delay later; with no delay\n"
    "                     the answer runs past the 60 bytes the program reads\n"
    "  leftover-delay=MS  (default 0)\n"
    "  cts-hold-after=K   hold CTS low (stop reading) once K image bytes came, ...\n"
    "  cts-hold=MS        ... for this long, then take the rest\n"
    "  times=1            print \"NAME command MS ms: TEXT\" for every command and\n"
    "                     \"NAME image begins MS ms\" at the image's first byte\n"
    "Faults:\n"
    "  silent=1           open but never answer\n"
    "  no-ready=1         answer OK instead of READY after the erase\n"
    "  stall-after=K      stop taking bytes (CTS low) after K image bytes\n"
    "  vanish-after=K     the device disappears after K image bytes, as an adapter pulled\n"
    "                     out: the pty hangs up (the host's reads and writes fail) and\n"
    "                     \"NAME unplugged after K image bytes\" is printed\n"
    "  no-final=1         say nothing after the image\n"
    "  pace=1             bytes flow at 115200 baud (11520 bytes/s) both ways\n"
    "\n"
    "A modem understands the host only at 115200 baud, 8 data bits, no parity, one stop\n"
    "bit (as the pty shows the settings the host applied; a pty has no DTR line to see).\n"
    "Anything a real modem would not take (other line settings, bytes during the erase,\n"
    "\"y\" before the erase prompt, unknown commands) prints \"NAME error: TEXT\".\n"
    "\n"
    "Exit status: 0 after a clean end, 2 on a bad command line, 1 on other errors.\n";

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParseNumber(const std::string& text, long long min, long long max, long long& out) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long long v = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < min || v > max) return false;
  out = v;
  return true;
}

// The keys of a port's schedule of units; false when `key` is none of them.
bool ApplyScheduleKey(const std::string& key, const std::string& raw, UnitSchedule& s,
                      std::string& error) {
  long long n = 0;
  if (key == "units" || key == "stay" || key == "gap") {
    if (!ParseNumber(raw, key == "units" ? 1 : 0, key == "units" ? 1000 : 86400000, n)) {
      error = "bad number in " + key + "=" + raw;
      return true;
    }
    if (key == "units")
      s.units = static_cast<int>(n);
    else
      (key == "stay" ? s.stayMs : s.gapMs) = static_cast<std::uint64_t>(n);
    return true;
  }
  if (key != "never-ready" && key != "unplug") return false;
  std::vector<int>& units = key == "unplug" ? s.unplugged : s.neverReady;
  std::size_t start = 0;
  while (start <= raw.size()) {
    std::size_t plus = raw.find('+', start);
    if (plus == std::string::npos) plus = raw.size();
    if (!ParseNumber(raw.substr(start, plus - start), 1, 1000, n)) {
      error = "bad unit in " + key + "=" + raw;
      return true;
    }
    units.push_back(static_cast<int>(n));
    start = plus + 1;
  }
  return true;
}

bool ApplyKey(const std::string& key, const std::string& raw, ModemConfig& c, std::string& error) {
  std::string text;
  if (!DecodeEscapes(raw, text)) {
    error = "bad escape in " + key + "=" + raw;
    return false;
  }
  long long n = 0;
  auto number = [&](long long min, long long max) {
    if (ParseNumber(raw, min, max, n)) return true;
    error = "bad number in " + key + "=" + raw;
    return false;
  };
  auto flag = [&](bool& target) {
    if (!number(0, 1)) return false;
    target = n != 0;
    return true;
  };
  constexpr long long kMaxU32 = 0xffffffffLL;
  if (key == "ident")
    c.identification = text;
  else if (key == "ati3")
    c.ati3Answer = text;
  else if (key == "gsn")
    c.serialNumber = text;
  else if (key == "ctlver")
    c.controllerVersion = text;
  else if (key == "ctldate")
    c.controllerDate = text;
  else if (key == "dspver")
    c.dspVersion = text;
  else if (key == "dspdate")
    c.dspDate = text;
  else if (key == "ati7")
    c.ati7Answer = text;
  else if (key == "ati8")
    c.ati8Answer = text;
  else if (key == "ready")
    c.readyAnswer = text;
  else if (key == "final")
    c.finalAnswer = text;
  else if (key == "banner")
    c.banner = text;
  else if (key == "ready-leftover")
    c.readyLeftover = text;
  else if (key == "ati7-leftover")
    c.ati7Leftover = text;
  else if (key == "times")
    return flag(c.printCommands);
  else if (key == "echo")
    return flag(c.echo);
  else if (key == "silent")
    return flag(c.silent);
  else if (key == "no-ready")
    return flag(c.noReady);
  else if (key == "no-final")
    return flag(c.noFinalAnswer);
  else if (key == "pace")
    return flag(c.pace115200);
  else if (key == "delay" || key == "erase" || key == "idle" || key == "image-length" ||
           key == "banner-delay" || key == "leftover-delay" || key == "cts-hold") {
    if (!number(0, kMaxU32)) return false;
    auto v = static_cast<std::uint32_t>(n);
    if (key == "delay")
      c.answerDelayMs = v;
    else if (key == "erase")
      c.eraseTimeMs = v;
    else if (key == "idle")
      c.finalAfterIdleMs = v;
    else if (key == "banner-delay")
      c.bannerDelayMs = v;
    else if (key == "leftover-delay")
      c.leftoverDelayMs = v;
    else if (key == "cts-hold")
      c.ctsHoldMs = v;
    else
      c.imageLength = v;
  } else if (key == "stall-after" || key == "vanish-after") {
    if (!number(0, 1LL << 40)) return false;
    (key == "stall-after" ? c.stallAfterImageBytes : c.vanishAfterImageBytes) = n;
  } else if (key == "cts-hold-after") {
    if (!number(1, 1LL << 40)) return false;
    c.ctsHoldAfterImageBytes = n;
  } else {
    error = "unknown port key: " + key;
    return false;
  }
  return true;
}

bool ParsePort(const std::string& spec, PortOption& port, std::string& error) {
  const auto colon = spec.find(':');
  port.name = spec.substr(0, colon);
  if (port.name.empty() || port.name.find('/') != std::string::npos || port.name == "." ||
      port.name == "..") {
    error = "bad port name: " + spec;
    return false;
  }
  if (colon == std::string::npos) return true;
  std::string rest = spec.substr(colon + 1);
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t comma = rest.find(',', start);
    if (comma == std::string::npos) comma = rest.size();
    std::string item = rest.substr(start, comma - start);
    const auto eq = item.find('=');
    if (eq == std::string::npos) {
      error = "expected key=value in " + spec;
      return false;
    }
    const std::string key = item.substr(0, eq), value = item.substr(eq + 1);
    if (ApplyScheduleKey(key, value, port.schedule, error)) {
      if (!error.empty()) return false;
    } else if (!ApplyKey(key, value, port.config, error)) {
      return false;
    }
    start = comma + 1;
  }
  return true;
}

}  // namespace

bool DecodeEscapes(const std::string& text, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out.push_back(text[i]);
      continue;
    }
    if (++i >= text.size()) return false;
    switch (text[i]) {
      case 'r':
        out.push_back('\r');
        break;
      case 'n':
        out.push_back('\n');
        break;
      case 't':
        out.push_back('\t');
        break;
      case '0':
        out.push_back('\0');
        break;
      case '\\':
        out.push_back('\\');
        break;
      case 'x': {
        if (i + 2 >= text.size()) return false;
        int hi = HexDigit(text[i + 1]), lo = HexDigit(text[i + 2]);
        if (hi < 0 || lo < 0) return false;
        out.push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
        break;
      }
      default:
        return false;
    }
  }
  return true;
}

bool ParseOptions(int argc, char** argv, SimOptions& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) {
        error = arg + " needs a value";
        return false;
      }
      out = argv[++i];
      return true;
    };
    std::string v;
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--link-dir") {
      if (!value(options.linkDir)) return false;
    } else if (arg == "--record-dir") {
      if (!value(options.recordDir)) return false;
    } else if (arg == "--max-seconds") {
      long long n = 0;
      if (!value(v)) return false;
      if (!ParseNumber(v, 1, 1000000, n)) {
        error = "bad --max-seconds: " + v;
        return false;
      }
      options.maxSeconds = static_cast<unsigned>(n);
    } else if (arg == "--port") {
      PortOption port;
      if (!value(v) || !ParsePort(v, port, error)) return false;
      for (const auto& p : options.ports) {
        if (p.name == port.name) {
          error = "port named twice: " + port.name;
          return false;
        }
      }
      options.ports.push_back(port);
    } else {
      error = "unknown option: " + arg;
      return false;
    }
  }
  if (!options.help && options.ports.empty()) {
    error = "at least one --port is needed";
    return false;
  }
  return true;
}
