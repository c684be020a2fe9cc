// The field routines on raw answers and image blocks.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "record/Fields.h"
#include "record/FirmwareVersionInfo.h"

namespace {

using namespace std::string_literals;

int Find(const std::string& data, const char* pattern) {
  return FindPattern(data.data(), static_cast<unsigned>(data.size()), pattern);
}

std::string Token(const std::string& data, const char* label) {
  char out[kVersionFieldSize] = {};
  const int p = Find(data, label);
  if (p >= 0) ReadTokenAfterLabel(data.data(), static_cast<unsigned>(data.size()), p, label, out);
  return out;
}

std::string Date(const std::string& data) {
  char out[kVersionFieldSize] = {};
  const int p = Find(data, "Date:");
  if (p >= 0) ReadDateField(data.data(), static_cast<unsigned>(data.size()), p, out);
  return out;
}

TEST(FindPattern, MatchesOnlyWhollyWithinTheValidBytes) {
  EXPECT_EQ(Find("ATI7\r\nController Ver 2.10", "Controller Ver"), 6);
  EXPECT_EQ(Find("xxController Ve", "Controller Ver"), -1);
  // The byte past the valid ones is there but must not count.
  const std::string buffer = "abcDSP Ver";
  EXPECT_EQ(FindPattern(buffer.data(), 9, "DSP Ver"), -1);
  EXPECT_EQ(Find("\0\0DSP\0DSP Ver"s, "DSP Ver"), 6);
  EXPECT_EQ(Find("DSP Ver", ""), -1);
  EXPECT_EQ(Find("dsp ver DSP Ver", "DSP Ver"), 8);
  EXPECT_EQ(Find("DSDSP Ver", "DSP Ver"), 2);
}

TEST(ReadTokenAfterLabel, TakesTheTokenAfterWhiteSpace) {
  EXPECT_EQ(Token("DSP Ver   2.10\r\n", "DSP Ver"), "2.10");
  EXPECT_EQ(Token("DSP Ver:2.10 ", "DSP Ver"), ":2.10");
  EXPECT_EQ(Token("DSP Ver\r\n", "DSP Ver"), "");
  EXPECT_EQ(Token("DSP Ver", "DSP Ver"), "");
  EXPECT_EQ(Token("DSP Ver \t\v\f2.1\0"
                  "9"s,
                  "DSP Ver"),
            "2.1");
  EXPECT_EQ(Token("DSP Ver 1.07", "DSP Ver"), "1.07");
}

TEST(ReadTokenAfterLabel, CutsALongTokenToItsField) {
  char field[2 * kVersionFieldSize];
  std::fill(std::begin(field), std::end(field), '#');
  const std::string data = "Controller Ver " + std::string(60, 'V');
  ReadTokenAfterLabel(data.data(), static_cast<unsigned>(data.size()), 0, "Controller Ver", field);
  EXPECT_EQ(std::string(field), std::string(kVersionFieldSize - 1, 'V'));
  EXPECT_EQ(field[kVersionFieldSize], '#') << "wrote past the field";
}

TEST(ReadTokenAfterLabel, LeavesTheFieldAloneWithoutAToken) {
  char field[kVersionFieldSize] = "old";
  ReadTokenAfterLabel("DSP Ver  \r\n", 11, 0, "DSP Ver", field);
  EXPECT_STREQ(field, "old");
}

TEST(ReadDateField, KeepsEveryByteUpToTheCarriageReturn) {
  EXPECT_EQ(Date("Date: 01/02/03\r\n"), " 01/02/03");
  EXPECT_EQ(Date("Date: 01/02/03"), " 01/02/03");
  EXPECT_EQ(Date("Date:\r\n01/02/03"), "");
  EXPECT_EQ(Date("Date:"), "");
  EXPECT_EQ(Date("Date:01/0\0"
                 "2/03"s),
            "01/0");
  EXPECT_EQ(Date("Date:" + std::string(20, '7')), std::string(15, '7'));
  EXPECT_EQ(Date("ATI8\r\nDSP Ver 1.07\r\nDate: 02/28/02\r\nOK\r\n"), " 02/28/02");
}

// Random buffers with labels sprinkled in: under the sanitizers any read or write outside
// the valid bytes or the field fails the run.
TEST(Fields, RandomBuffersStayInBounds) {
  std::mt19937 random(12345);
  const char* labels[] = {"Controller Ver", "DSP Ver", "Date:"};
  const char alphabet[] = {'\0', '\r', '\n', ' ', '\t', 'D', 'a', 't', 'e', ':', 'S',
                           'P',  'V',  'r',  '1', '.',  '/', '*', 'C', 'o', 'n', 'l'};
  for (int round = 0; round < 20000; ++round) {
    const unsigned length = random() % 96;
    // Exactly `length` bytes on the heap, so a read beyond them is caught.
    std::vector<char> data(length);
    for (char& c : data) c = alphabet[random() % sizeof alphabet];
    if (length > 0 && random() % 2) {
      const std::string label = labels[random() % 3];
      const unsigned at = random() % length;
      for (unsigned k = 0; k < label.size() && at + k < length; ++k) data[at + k] = label[k];
    }
    const char* base = length ? data.data() : nullptr;
    for (const char* label : labels) {
      const int p = FindPattern(base, length, label);
      ASSERT_GE(p, -1);
      if (p < 0) continue;
      ASSERT_LE(p + std::strlen(label), length);
      auto owned = std::make_unique<char[]>(kVersionFieldSize);
      char* field = owned.get();
      field[0] = '\0';
      if (std::string(label) == "Date:")
        ReadDateField(base, length, p, field);
      else
        ReadTokenAfterLabel(base, length, p, label, field);
      ASSERT_LT(std::strlen(field), kVersionFieldSize);
    }
  }
}

}  // namespace
