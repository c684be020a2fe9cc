#pragma once
// The JSON of --json: one object a line, built field by field. A text field takes any bytes
// (a modem may answer with quotes, control bytes or bytes that are no UTF-8). Valid UTF-8
// goes out as it is, with the escapes JSON requires; otherwise every byte that is not part
// of a valid sequence becomes U+FFFD in the text, and the object carries the raw bytes in
// lower-case hex beside it as KEY_hex, so nothing the modem sent is lost.

#include <cstdint>
#include <string>

class CJsonObject {
 public:
  CJsonObject& Text(const char* key, const std::string& bytes);
  CJsonObject& Number(const char* key, std::int64_t value);
  CJsonObject& Bool(const char* key, bool value);
  // The object, without a line end.
  std::string Line() const { return "{" + m_body + "}"; }

 private:
  void Key(const char* key);

  std::string m_body;
};

bool IsValidUtf8(const std::string& bytes);
// `bytes` as a JSON string, quotes included; invalid UTF-8 as U+FFFD, as above.
std::string JsonQuoted(const std::string& bytes);
std::string HexBytes(const std::string& bytes);
