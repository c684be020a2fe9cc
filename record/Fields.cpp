#include "record/Fields.h"

#include <cstring>

#include "record/FirmwareVersionInfo.h"

namespace {

constexpr unsigned kMaxDateLength = 15;

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

int FindPattern(const char* data, unsigned length, const char* pattern) {
  const std::size_t n = std::strlen(pattern);
  if (data == nullptr || n == 0 || n > length) return -1;
  for (unsigned i = 0; i + n <= length; ++i) {
    if (data[i] != pattern[0]) continue;
    std::size_t k = 1;
    while (k < n && data[i + k] == pattern[k]) ++k;
    if (k == n) return static_cast<int>(i);
  }
  return -1;
}

void ReadTokenAfterLabel(const char* data, unsigned length, int position, const char* label,
                         char* out) {
  if (data == nullptr || position < 0) return;
  unsigned i = static_cast<unsigned>(position);
  const std::size_t labelLength = std::strlen(label);
  if (i > length || labelLength > length - i) return;
  i += static_cast<unsigned>(labelLength);
  while (i < length && IsSpace(data[i])) ++i;
  unsigned n = 0;
  while (i + n < length && data[i + n] != '\0' && !IsSpace(data[i + n])) ++n;
  if (n == 0) return;
  // A token too long for its field keeps its first characters.
  if (n > kVersionFieldSize - 1) n = kVersionFieldSize - 1;
  std::memcpy(out, data + i, n);
  out[n] = '\0';
}

void ReadDateField(const char* data, unsigned length, int position, char* out) {
  static const char kLabel[] = "Date:";
  out[0] = '\0';
  if (data == nullptr || position < 0) return;
  unsigned i = static_cast<unsigned>(position);
  if (i > length || sizeof kLabel - 1 > length - i) return;
  i += sizeof kLabel - 1;
  unsigned n = 0;
  while (n < kMaxDateLength && i + n < length && data[i + n] != '\r' && data[i + n] != '\0') ++n;
  std::memcpy(out, data + i, n);
  out[n] = '\0';
}
