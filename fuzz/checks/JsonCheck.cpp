#include "fuzz/checks/JsonCheck.h"

#include <map>

#include "cli/json/Json.h"
#include "fuzz/checks/Violations.h"

namespace {

// UTF-8 as its definition has it, written apart from the writer's own: decode each code
// point, then refuse overlong forms, surrogates and values past U+10FFFF.
bool Utf8(const std::string& s) {
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    std::size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    std::uint32_t cp = n == 1 ? b : b & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
      const unsigned char c = static_cast<unsigned char>(s[i + k]);
      if ((c >> 6) != 2) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    static const std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kLeast[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += n;
  }
  return true;
}

void PutUtf8(std::uint32_t cp, std::string& out) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// A small parser for what the writer writes: one object of string keys whose values are
// strings, integers or true/false. The values come back as their text (strings decoded).
class CParser {
 public:
  explicit CParser(const std::string& s) : m_s(s) {}

  bool Object(std::map<std::string, std::string>& fields) {
    if (!Eat('{')) return false;
    if (Eat('}')) return End();
    do {
      std::string key, value;
      if (!String(key) || !Eat(':') || !Value(value)) return false;
      if (!fields.emplace(key, value).second) return false;  // a key twice
    } while (Eat(','));
    return Eat('}') && End();
  }

 private:
  bool End() const { return m_i == m_s.size(); }
  bool Eat(char c) {
    if (m_i < m_s.size() && m_s[m_i] == c) return ++m_i, true;
    return false;
  }
  bool Hex4(std::uint32_t& v) {
    if (m_i + 4 > m_s.size()) return false;
    v = 0;
    for (int k = 0; k < 4; ++k) {
      const char c = m_s[m_i++];
      const int d = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
      if (d < 0) return false;
      v = v * 16 + static_cast<std::uint32_t>(d);
    }
    return true;
  }
  bool String(std::string& out) {
    if (!Eat('"')) return false;
    while (m_i < m_s.size()) {
      const char c = m_s[m_i++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (m_i >= m_s.size()) return false;
      const char e = m_s[m_i++];
      static const std::string kFrom = "\"\\/bfnrt", kTo = "\"\\/\b\f\n\r\t";
      const std::size_t k = kFrom.find(e);
      if (k != std::string::npos) {
        out += kTo[k];
        continue;
      }
      std::uint32_t cp;
      if (e != 'u' || !Hex4(cp)) return false;
      if (cp >= 0xD800 && cp <= 0xDBFF) {
        std::uint32_t low;
        if (!Eat('\\') || !Eat('u') || !Hex4(low) || low < 0xDC00 || low > 0xDFFF) return false;
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
      } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
        return false;
      }
      PutUtf8(cp, out);
    }
    return false;
  }
  bool Value(std::string& out) {
    if (m_i < m_s.size() && m_s[m_i] == '"') return String(out);
    for (const char* word : {"true", "false"}) {
      if (m_s.compare(m_i, std::string(word).size(), word) == 0) {
        out = word;
        m_i += out.size();
        return true;
      }
    }
    const std::size_t start = m_i;
    Eat('-');
    while (m_i < m_s.size() && m_s[m_i] >= '0' && m_s[m_i] <= '9') ++m_i;
    out = m_s.substr(start, m_i - start);
    return !out.empty() && out != "-";
  }

  const std::string& m_s;
  std::size_t m_i = 0;
};

std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

}  // namespace

std::string CheckJson(const std::uint8_t* data, std::size_t size) {
  CViolations v;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  CJsonObject object;
  object.Number("schema", 1).Text("text", bytes).Bool("end", true);
  const std::string line = object.Line();

  bool raw = true;
  for (unsigned char c : line) raw &= c >= 0x20;
  v.Expect(raw, [&] { return "a raw control byte or line end in " + Quoted(line); });
  v.Expect(Utf8(line), [&] { return "the line is not UTF-8: " + Quoted(line); });
  std::map<std::string, std::string> fields;
  if (!v.Expect(CParser(line).Object(fields), [&] { return "does not parse: " + Quoted(line); }))
    return v.Text();

  const bool valid = Utf8(bytes);
  v.Expect(IsValidUtf8(bytes) == valid, [&] { return "IsValidUtf8 is wrong on " + Quoted(bytes); });
  v.Expect(fields["schema"] == "1" && fields["end"] == "true",
           [&] { return "the fields around the text changed: " + Quoted(line); });
  if (valid) {
    v.Expect(fields["text"] == bytes, [&] { return "the text reads back other: " + Quoted(line); });
    v.Expect(fields.count("text_hex") == 0,
             [&] { return "a hex field for UTF-8: " + Quoted(line); });
  } else {
    v.Expect(fields.count("text_hex") == 1 && FromHex(fields["text_hex"]) == bytes,
             [&] { return "the hex field does not hold the bytes: " + Quoted(line); });
  }
  return v.Text();
}
