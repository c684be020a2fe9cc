#include "fuzz/checks/FieldsCheck.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "fuzz/checks/Violations.h"
#include "modem/ModemCommands.h"
#include "record/Fields.h"
#include "record/FirmwareVersionInfo.h"

namespace {

constexpr unsigned char kUntouched = 0xA5;  // fills a field before a call: not a terminator
constexpr std::size_t kMaxDate = 15;        // bytes a date keeps at most

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A field of exactly kVersionFieldSize bytes (a write past it shows under ASan), filled
// with bytes that are no terminator.
struct Field {
  char bytes[kVersionFieldSize];
  Field() { std::memset(bytes, kUntouched, sizeof bytes); }
  bool Untouched() const {
    return std::all_of(bytes, bytes + kVersionFieldSize,
                       [](char c) { return static_cast<unsigned char>(c) == kUntouched; });
  }
  bool Terminated() const { return std::memchr(bytes, 0, kVersionFieldSize) != nullptr; }
};

void CheckFind(const char* data, unsigned n, const char* pattern, CViolations& v) {
  const int got = FindPattern(data, n, pattern);
  const std::size_t length = std::strlen(pattern);
  int want = -1;
  if (length > 0) {
    const char* end = data + n;
    const char* at = std::search(data, end, pattern, pattern + length);
    if (at != end) want = static_cast<int>(at - data);
  }
  v.Expect(got == want, [&] {
    return "FindPattern(" + Quoted(pattern) + ") gave " + std::to_string(got) +
           ", the lowest match is " + std::to_string(want);
  });
}

// Where the run after a label at `position` starts; n when the label does not fit.
std::size_t RunStart(const char* data, unsigned n, int position, std::size_t labelLength) {
  if (position < 0 || static_cast<std::size_t>(position) + labelLength > n) return n;
  std::size_t q = static_cast<std::size_t>(position) + labelLength;
  while (q < n && IsSpace(data[q])) ++q;
  return q;
}

void CheckToken(const char* data, unsigned n, int position, const char* label, CViolations& v) {
  Field out;
  ReadTokenAfterLabel(data, n, position, label, out.bytes);
  const std::size_t q = RunStart(data, n, position, std::strlen(label));
  auto where = [&] { return "token after " + Quoted(label) + " at " + std::to_string(position); };
  if (out.Untouched()) {
    // Nothing copied is right only when no run follows the label.
    v.Expect(q >= n || data[q] == '\0',
             [&] { return where() + ": a token follows but the field was left"; });
    return;
  }
  if (!v.Expect(out.Terminated(), [&] { return where() + ": field not terminated"; })) return;
  const std::size_t size = std::strlen(out.bytes);
  const bool inData = size > 0 && q + size <= n && std::memcmp(data + q, out.bytes, size) == 0 &&
                      std::none_of(out.bytes, out.bytes + size, [](char c) { return IsSpace(c); });
  if (!v.Expect(inData, [&] { return where() + ": " + Quoted(out.bytes) + " is not the run"; }))
    return;
  const std::size_t e = q + size;
  v.Expect(size == kVersionFieldSize - 1 || e == n || data[e] == '\0' || IsSpace(data[e]),
           [&] { return where() + ": " + Quoted(out.bytes) + " stops inside the run"; });
}

void CheckDate(const char* data, unsigned n, int position, CViolations& v) {
  Field out;
  ReadDateField(data, n, position, out.bytes);
  if (!v.Expect(out.Terminated(),
                [&] { return "date at " + std::to_string(position) + ": field not terminated"; }))
    return;
  // The reader trusts the position to be a match; it must still stay within the data.
  char want[kMaxDate + 1] = {};
  const std::size_t label = std::strlen(marker::kDate);
  if (position >= 0 && static_cast<std::size_t>(position) + label <= n) {
    std::size_t from = static_cast<std::size_t>(position) + label, k = 0;
    while (k < kMaxDate && from < n && data[from] != '\r' && data[from] != '\0')
      want[k++] = data[from++];
  }
  v.Expect(std::strcmp(out.bytes, want) == 0, [&] {
    return "date at " + std::to_string(position) + ": " + Quoted(out.bytes) + " instead of " +
           Quoted(want);
  });
}

}  // namespace

std::string CheckFields(const std::uint8_t* input, std::size_t size) {
  CViolations v;
  // The data on the heap at its exact size, so that a read past `length` shows.
  const unsigned n = static_cast<unsigned>(std::min<std::size_t>(size, 1u << 16));
  const std::vector<char> data(input, input + n);
  const char* d = data.data();

  // The labels the program looks for, the empty pattern, and one from the input's end.
  static const char* const kPatterns[] = {marker::kControllerVersion,
                                          marker::kDspVersion,
                                          marker::kDate,
                                          marker::kReady,
                                          marker::kOk,
                                          cmd::kIdentifications[0],
                                          cmd::kIdentifications[1],
                                          cmd::kIdentifications[2],
                                          ""};
  for (const char* p : kPatterns) CheckFind(d, n, p, v);
  char tail[7] = {};
  const unsigned tailLength = std::min(n, 6u);
  if (tailLength > 0) std::memcpy(tail, d + n - tailLength, tailLength);
  CheckFind(d, n, tail, v);

  // Every match of a label, and positions around and beyond the data (all of them when the
  // data is short): the readers must stay within the data whatever position they get.
  const int last = static_cast<int>(n);
  std::vector<int> positions = {-1, 0, 1, last - 1, last, last + 1, INT_MAX, INT_MIN};
  if (n <= 64)
    for (int p = 2; p < last - 1; ++p) positions.push_back(p);
  for (const char* label : {marker::kControllerVersion, marker::kDspVersion}) {
    const int p = FindPattern(d, n, label);
    if (p >= 0) CheckToken(d, n, p, label, v);
    for (int q : positions) CheckToken(d, n, q, label, v);
  }
  const int date = FindPattern(d, n, marker::kDate);
  if (date >= 0) CheckDate(d, n, date, v);
  for (int q : positions) CheckDate(d, n, q, v);
  return v.Text();
}
