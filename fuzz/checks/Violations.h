#pragma once
// What a check found wrong in one run, one line per broken promise; empty when all held.
// The fuzzers abort on a non-empty result, the unit suite expects it empty. Messages are
// built only for a broken promise: the fuzzers run the checks millions of times.

#include <sstream>
#include <string>
#include <utility>

class CViolations {
 public:
  // Records what `describe()` says when `holds` is false; returns `holds`.
  template <typename Describe>
  bool Expect(bool holds, Describe&& describe) {
    if (!holds) m_text << std::forward<Describe>(describe)() << '\n';
    return holds;
  }
  bool Expect(bool holds, const char* what) {
    return Expect(holds, [what] { return std::string(what); });
  }
  std::string Text() const { return m_text.str(); }

 private:
  std::ostringstream m_text;
};

// Shows bytes as a C string literal would, for messages.
inline std::string Quoted(const std::string& bytes) {
  static const char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (unsigned char c : bytes) {
    if (c == '\\' || c == '"') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7f) {
      out += static_cast<char>(c);
    } else {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out + "\"";
}
