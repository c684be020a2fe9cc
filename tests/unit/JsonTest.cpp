// The JSON of --json on what a modem may send; the fuzzer runs the same check on any bytes.
#include <gtest/gtest.h>

#include <string>

#include "cli/json/Json.h"
#include "fuzz/checks/JsonCheck.h"

namespace {

std::string Check(const std::string& bytes) {
  return CheckJson(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

TEST(Json, ModemTextsOfAnyBytesComeOutAsValidJsonThatKeepsThem) {
  const struct {
    std::string bytes;
    std::string quoted;  // the text as written
  } cases[] = {
      {"2.10", "\"2.10\""},
      {"a\"b\\c", "\"a\\\"b\\\\c\""},
      {std::string("\r\n\t\x01\x1b\x7f", 6), "\"\\r\\n\\t\\u0001\\u001b\\u007f\""},
      {std::string("\0z", 2), "\"\\u0000z\""},
      {"caf\xc3\xa9 \xf0\x9f\x98\x80", "\"caf\xc3\xa9 \xf0\x9f\x98\x80\""},
      // Each byte outside a valid sequence is U+FFFD: a lone byte, a truncated sequence, an
      // overlong form, an encoded surrogate, a value past U+10FFFF.
      {"\xff", "\"\xef\xbf\xbd\""},
      {"x\xc3", "\"x\xef\xbf\xbd\""},
      {"\xc0\xaf", "\"\xef\xbf\xbd\xef\xbf\xbd\""},
      {"\xed\xa0\x80", "\"\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\""},
      {"\xf4\x90\x80\x80", "\"\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JsonQuoted(c.bytes), c.quoted);
    EXPECT_EQ(Check(c.bytes), "");
  }
  EXPECT_EQ(CJsonObject()
                .Text("v",
                      "\xff"
                      "a")
                .Line(),
            "{\"v\":\"\xef\xbf\xbd"
            "a\",\"v_hex\":\"ff61\"}");
}
