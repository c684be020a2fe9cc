// The port list comes from the main dialog's initialisation data; a damaged or truncated
// resource must neither read past its end nor lose the entries before the damage.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/win/DialogInitData.h"

namespace {

constexpr std::uint16_t kCombo = 1000;
constexpr std::uint16_t kAddString = 0x0403;

void Put16(std::vector<unsigned char>& out, std::uint16_t v) {
  out.push_back(v & 0xFF);
  out.push_back(v >> 8);
}

void PutEntry(std::vector<unsigned char>& out, std::uint16_t id, std::uint16_t msg,
              const std::string& bytes, std::uint32_t length) {
  Put16(out, id);
  Put16(out, msg);
  for (int i = 0; i < 4; ++i) out.push_back((length >> (8 * i)) & 0xFF);
  out.insert(out.end(), bytes.begin(), bytes.end());
}

std::vector<unsigned char> PortList() {
  std::vector<unsigned char> data;
  for (int n = 1; n <= 8; ++n) {
    std::string text = "COM" + std::to_string(n) + std::string(1, '\0');
    PutEntry(data, kCombo, kAddString, text, static_cast<std::uint32_t>(text.size()));
  }
  Put16(data, 0);
  return data;
}

std::vector<DialogInitEntry> Walk(const std::vector<unsigned char>& data, std::size_t size) {
  std::vector<DialogInitEntry> seen;
  std::size_t n = ForEachDialogInitEntry(data.data(), size,
                                         [&](const DialogInitEntry& e) { seen.push_back(e); });
  EXPECT_EQ(n, seen.size());
  return seen;
}

TEST(DialogInitData, DeliversThePortListInOrderAndStopsAtTheZeroId) {
  std::vector<unsigned char> data = PortList();
  data.push_back(0xAB);  // bytes after the end mark are not entries
  data.push_back(0xCD);
  auto seen = Walk(data, data.size());
  ASSERT_EQ(seen.size(), 8u);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(seen[i].controlId, kCombo);
    EXPECT_EQ(seen[i].message, kAddString);
    EXPECT_EQ(seen[i].data, "COM" + std::to_string(i + 1) + std::string(1, '\0'));
    EXPECT_STREQ(seen[i].data.c_str(), ("COM" + std::to_string(i + 1)).c_str());
  }
}

TEST(DialogInitData, TruncatedDataKeepsTheWholeEntriesBeforeTheCut) {
  const std::vector<unsigned char> data = PortList();
  const std::size_t entry = 8 + 5;
  // Cut inside the third entry's text, inside its header, and with no end mark at all.
  EXPECT_EQ(Walk(data, 2 * entry + 10).size(), 2u);
  EXPECT_EQ(Walk(data, 2 * entry + 5).size(), 2u);
  EXPECT_EQ(Walk(data, 8 * entry).size(), 8u);
  EXPECT_EQ(Walk(data, 1).size(), 0u);
  EXPECT_EQ(ForEachDialogInitEntry(nullptr, 100, [](const DialogInitEntry&) {}), 0u);
}

TEST(DialogInitData, ALengthPastTheEndIsRefusedWithoutReadingIt) {
  std::vector<unsigned char> data;
  PutEntry(data, kCombo, kAddString, std::string("COM1\0", 5), 5);
  PutEntry(data, kCombo, kAddString, "COM2", 0xFFFFFFF0u);  // would wrap a naive bound check
  Put16(data, 0);
  auto seen = Walk(data, data.size());
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_STREQ(seen[0].data.c_str(), "COM1");
}

TEST(DialogInitData, ATextWithoutItsZeroEndsAtItsCount) {
  std::vector<unsigned char> data;
  PutEntry(data, kCombo, kAddString, "COM7", 4);
  PutEntry(data, 2000, 0x0401, "xyz", 3);  // another control's entry is passed on as it is
  Put16(data, 0);
  auto seen = Walk(data, data.size());
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_STREQ(seen[0].data.c_str(), "COM7");
  EXPECT_EQ(seen[1].controlId, 2000);
  EXPECT_EQ(seen[1].data, "xyz");
}

}  // namespace
