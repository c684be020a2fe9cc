#include "cli/platform/UtcTime.h"

#include <chrono>

namespace {

// `value` as `width` digits at `to`.
char* Digits(char* to, std::int64_t value, int width) {
  for (int i = width - 1; i >= 0; --i) {
    to[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  return to + width;
}

}  // namespace

std::int64_t WallClockMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

void FormatIsoUtc(std::int64_t ms, char* text) {
  if (ms < 0) ms = 0;
  // The civil date of a day count (proleptic Gregorian), without the C library's time zones.
  std::int64_t days = ms / 86400000;
  const std::int64_t inDay = ms % 86400000;
  days += 719468;
  const std::int64_t era = days / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t mp = (5 * dayOfYear + 2) / 153;
  const std::int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
  const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  char* p = Digits(text, year % 10000, 4);
  *p++ = '-';
  p = Digits(p, month, 2);
  *p++ = '-';
  p = Digits(p, day, 2);
  *p++ = 'T';
  p = Digits(p, inDay / 3600000, 2);
  *p++ = ':';
  p = Digits(p, inDay / 60000 % 60, 2);
  *p++ = ':';
  p = Digits(p, inDay / 1000 % 60, 2);
  *p++ = '.';
  p = Digits(p, inDay % 1000, 3);
  *p++ = 'Z';
  *p = '\0';
}

std::string IsoUtc(std::int64_t ms) {
  char text[kIsoUtcSize];
  FormatIsoUtc(ms, text);
  return text;
}
