#include "cli/json/Json.h"

#include <cstdio>

namespace {

const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// The length of the valid UTF-8 sequence at bytes[i], or 0: no overlong forms, no
// surrogates, nothing above U+10FFFF.
std::size_t SequenceAt(const std::string& bytes, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
  const unsigned char b = byte(i);
  if (b < 0x80) return 1;
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (b >= 0xC2 && b <= 0xDF) {
    length = 2;
  } else if (b >= 0xE0 && b <= 0xEF) {
    length = 3;
    if (b == 0xE0) low = 0xA0;
    if (b == 0xED) high = 0x9F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    length = 4;
    if (b == 0xF0) low = 0x90;
    if (b == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > bytes.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  }
  return length;
}

}  // namespace

bool IsValidUtf8(const std::string& bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t n = SequenceAt(bytes, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string HexBytes(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char b : bytes) {
    hex += kDigits[b >> 4];
    hex += kDigits[b & 0xF];
  }
  return hex;
}

std::string JsonQuoted(const std::string& bytes) {
  std::string out = "\"";
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t n = SequenceAt(bytes, i);
    const unsigned char b = static_cast<unsigned char>(bytes[i]);
    if (n == 0) {
      out += kReplacement;
      ++i;
      continue;
    }
    if (n > 1) {
      out.append(bytes, i, n);
    } else if (b == '"' || b == '\\') {
      out += '\\';
      out += static_cast<char>(b);
    } else if (b == '\n') {
      out += "\\n";
    } else if (b == '\r') {
      out += "\\r";
    } else if (b == '\t') {
      out += "\\t";
    } else if (b < 0x20 || b == 0x7F) {
      // DEL too: a line read on a terminal shows what the modem sent, not what it does.
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", b);
      out += escape;
    } else {
      out += static_cast<char>(b);
    }
    i += n;
  }
  return out + "\"";
}

void CJsonObject::Key(const char* key) {
  if (!m_body.empty()) m_body += ',';
  m_body += JsonQuoted(key);
  m_body += ':';
}

CJsonObject& CJsonObject::Text(const char* key, const std::string& bytes) {
  Key(key);
  m_body += JsonQuoted(bytes);
  if (!IsValidUtf8(bytes)) {
    Key((std::string(key) + "_hex").c_str());
    m_body += JsonQuoted(HexBytes(bytes));
  }
  return *this;
}

CJsonObject& CJsonObject::Number(const char* key, std::int64_t value) {
  Key(key);
  m_body += std::to_string(value);
  return *this;
}

CJsonObject& CJsonObject::Bool(const char* key, bool value) {
  Key(key);
  m_body += value ? "true" : "false";
  return *this;
}
