#include "fuzz/checks/DialogInitDataCheck.h"

#include <cstring>
#include <vector>

#include "app/win/DialogInitData.h"
#include "fuzz/checks/Violations.h"

namespace {

constexpr std::size_t kHeaderSize = 8;  // control ID, message, length

std::vector<DialogInitEntry> Walk(const std::uint8_t* data, std::size_t size, std::size_t& count) {
  // On the heap at its exact size, so that a read past the end shows.
  std::vector<unsigned char> copy(data, data + size);
  std::vector<DialogInitEntry> seen;
  count = ForEachDialogInitEntry(copy.empty() ? nullptr : copy.data(), copy.size(),
                                 [&](const DialogInitEntry& e) { seen.push_back(e); });
  return seen;
}

// The entries laid out again as the walker should have read them.
std::vector<std::uint8_t> Serialise(const std::vector<DialogInitEntry>& entries) {
  std::vector<std::uint8_t> out;
  for (const DialogInitEntry& e : entries) {
    const auto length = static_cast<std::uint32_t>(e.data.size());
    std::uint8_t header[kHeaderSize];
    std::memcpy(header, &e.controlId, 2);
    std::memcpy(header + 2, &e.message, 2);
    std::memcpy(header + 4, &length, 4);
    out.insert(out.end(), header, header + kHeaderSize);
    out.insert(out.end(), e.data.begin(), e.data.end());
  }
  return out;
}

bool Same(const DialogInitEntry& a, const DialogInitEntry& b) {
  return a.controlId == b.controlId && a.message == b.message && a.data == b.data;
}

}  // namespace

std::string CheckDialogInitData(const std::uint8_t* data, std::size_t size) {
  CViolations v;
  std::size_t count = 0;
  const std::vector<DialogInitEntry> entries = Walk(data, size, count);
  v.Expect(count == entries.size(), "the count differs from the entries delivered");

  const std::vector<std::uint8_t> laid = Serialise(entries);
  if (!v.Expect(
          laid.size() <= size && (laid.empty() || std::memcmp(laid.data(), data, laid.size()) == 0),
          "the entries are not the bytes the data starts with"))
    return v.Text();
  for (const DialogInitEntry& e : entries) v.Expect(e.controlId != 0, "an entry with ID 0");

  // Where the walk stopped there must be a reason: the end, a zero ID, or an entry that
  // does not fit.
  const std::size_t at = laid.size();
  bool stopped = size - at < kHeaderSize;
  if (!stopped) {
    std::uint16_t id;
    std::uint32_t length;
    std::memcpy(&id, data + at, 2);
    std::memcpy(&length, data + at + 4, 4);
    stopped = id == 0 || length > size - at - kHeaderSize;
  }
  v.Expect(stopped,
           [&] { return "the walk stopped before a whole entry at " + std::to_string(at); });

  // Damage at the end costs only the entries it touches: half the data gives exactly the
  // entries that lie wholly within that half.
  const std::size_t half = size / 2;
  std::size_t fit = 0;
  for (std::size_t end = 0; fit < entries.size(); ++fit) {
    end += kHeaderSize + entries[fit].data.size();
    if (end > half) break;
  }
  std::size_t shortCount = 0;
  const std::vector<DialogInitEntry> shorter = Walk(data, half, shortCount);
  bool same = shorter.size() == fit;
  for (std::size_t i = 0; same && i < fit; ++i) same = Same(shorter[i], entries[i]);
  v.Expect(same, [&] {
    return "half the data gives " + std::to_string(shorter.size()) +
           " entries where the whole has " + std::to_string(fit) + " within it";
  });
  return v.Text();
}
