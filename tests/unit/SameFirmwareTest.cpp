#include <gtest/gtest.h>

#include <cstring>

#include "record/FirmwareVersionInfo.h"

namespace {

FirmwareVersionInfo Record(const char* ctlVer, const char* ctlDate, const char* dspVer,
                           const char* dspDate) {
  FirmwareVersionInfo r;
  std::strncpy(r.controllerVersion, ctlVer, kVersionFieldSize - 1);
  std::strncpy(r.controllerDate, ctlDate, kVersionFieldSize - 1);
  std::strncpy(r.dspVersion, dspVer, kVersionFieldSize - 1);
  std::strncpy(r.dspDate, dspDate, kVersionFieldSize - 1);
  return r;
}

}  // namespace

// --skip-current leaves a modem alone only when all four fields match: the blanks a modem
// puts around its dates do not count, any other byte does.
TEST(SameFirmware, AllFourFieldsMatchApartFromTheBlanksAroundThem) {
  const FirmwareVersionInfo image = Record("2.20", "04/01/03", "1.09", "03/28/03");
  const struct {
    FirmwareVersionInfo modem;
    bool same;
  } cases[] = {
      {Record("2.20", " 04/01/03", "1.09", "\t03/28/03 "), true},
      {Record("2.20", "04/01/03", "1.09", "03/28/03"), true},
      {Record("2.21", "04/01/03", "1.09", "03/28/03"), false},
      {Record("2.20", "04/01/03", "1.09", "03/28/04"), false},
      {Record("2.20", "04/01/03", "1.09", "03/28/0"), false},
      {Record("2.20", "04/01 03", "1.09", "03/28/03"), false},
      {Record("2.20", "04/01/03", "1.09", ""), false},  // incomplete: never current
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SameFirmware(c.modem, image), c.same)
        << c.modem.controllerVersion << " " << c.modem.controllerDate << " " << c.modem.dspDate;
  }
  EXPECT_FALSE(SameFirmware(FirmwareVersionInfo{}, FirmwareVersionInfo{}));
}
