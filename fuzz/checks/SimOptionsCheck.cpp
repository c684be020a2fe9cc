#include "fuzz/checks/SimOptionsCheck.h"

#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "fuzz/checks/Violations.h"
#include "sim/modem-sim/Options.h"

namespace {

constexpr std::size_t kMaxArguments = 32;
constexpr std::int64_t kMaxImageBytes = std::int64_t{1} << 40;

// The escapes modem-sim takes, written so that DecodeEscapes must give `text` back.
std::string Encode(const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : text) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\t')
      out += "\\t";
    else if (c == '\0')
      out += "\\0";
    else if (c < 0x20 || c >= 0x7f || c == ',') {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

void CheckEscapes(const std::string& arg, CViolations& v) {
  std::string decoded;
  if (!DecodeEscapes(arg, decoded)) {
    v.Expect(arg.find('\\') != std::string::npos, "escapes refused without a backslash");
    return;
  }
  v.Expect(decoded.size() <= arg.size(),
           [&] { return "decoding made " + Quoted(arg) + " longer"; });
  std::string again;
  v.Expect(DecodeEscapes(Encode(decoded), again) && again == decoded,
           [&] { return "the escapes of " + Quoted(decoded) + " do not decode to it"; });
}

void CheckPort(const PortOption& port, CViolations& v) {
  const std::string& n = port.name;
  v.Expect(!n.empty() && n.find('/') == std::string::npos && n != "." && n != "..",
           [&] { return "port name " + Quoted(n) + " is no plain file name"; });
  const ModemConfig& c = port.config;
  for (std::int64_t k : {c.stallAfterImageBytes, c.vanishAfterImageBytes})
    v.Expect(k >= -1 && k <= kMaxImageBytes,
             [&] { return "byte count " + std::to_string(k) + " out of range"; });
}

}  // namespace

std::string CheckSimOptions(const std::uint8_t* data, std::size_t size) {
  CViolations v;
  // Each argument on the heap at its exact size, so that a read past one shows.
  std::vector<std::unique_ptr<char[]>> args;
  args.emplace_back(new char[10]);
  std::memcpy(args.back().get(), "modem-sim", 10);
  std::size_t start = 0;
  while (start <= size && args.size() <= kMaxArguments) {
    std::size_t end = start;
    while (end < size && data[end] != 0) ++end;
    args.emplace_back(new char[end - start + 1]);
    std::memcpy(args.back().get(), data + start, end - start);
    args.back()[end - start] = '\0';
    CheckEscapes(args.back().get(), v);
    start = end + 1;
  }
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.get());
  argv.push_back(nullptr);

  SimOptions options;
  std::string error;
  const bool ok = ParseOptions(static_cast<int>(args.size()), argv.data(), options, error);
  if (!ok) {
    v.Expect(!error.empty(), "refused without a reason");
    return v.Text();
  }
  v.Expect(options.help || !options.ports.empty(), "accepted without a port");
  v.Expect(options.maxSeconds >= 1 && options.maxSeconds <= 1000000,
           [&] { return "--max-seconds " + std::to_string(options.maxSeconds) + " out of range"; });
  std::set<std::string> names;
  for (const PortOption& p : options.ports) {
    CheckPort(p, v);
    v.Expect(names.insert(p.name).second,
             [&] { return "port " + Quoted(p.name) + " named twice"; });
  }
  return v.Text();
}
