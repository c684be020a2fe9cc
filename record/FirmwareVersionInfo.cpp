#include "record/FirmwareVersionInfo.h"

#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool SameField(const char* a, const char* b) {
  while (IsBlank(*a)) ++a;
  while (IsBlank(*b)) ++b;
  std::size_t na = strnlen(a, kVersionFieldSize);
  std::size_t nb = strnlen(b, kVersionFieldSize);
  while (na > 0 && IsBlank(a[na - 1])) --na;
  while (nb > 0 && IsBlank(b[nb - 1])) --nb;
  return na == nb && std::memcmp(a, b, na) == 0;
}

}  // namespace

bool SameFirmware(const FirmwareVersionInfo& a, const FirmwareVersionInfo& b) {
  return a.IsComplete() && b.IsComplete() && SameField(a.controllerVersion, b.controllerVersion) &&
         SameField(a.controllerDate, b.controllerDate) && SameField(a.dspVersion, b.dspVersion) &&
         SameField(a.dspDate, b.dspDate);
}
