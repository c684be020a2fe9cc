// The dialogue fuzzer's judge of what was shown: it must pass the program's own texts and
// catch anything else, or its findings mean nothing.

#include <gtest/gtest.h>

#include <cstring>

#include "app/DialogBoxStyle.h"
#include "fuzz/checks/OwnTexts.h"
#include "modem/Format.h"
#include "modem/MessageBoxes.h"
#include "modem/Texts.h"

namespace {

FirmwareVersionInfo Record(const char* ctl, const char* ctlDate, const char* dsp,
                           const char* dspDate) {
  FirmwareVersionInfo r;
  std::strcpy(r.controllerVersion, ctl);
  std::strcpy(r.controllerDate, ctlDate);
  std::strcpy(r.dspVersion, dsp);
  std::strcpy(r.dspDate, dspDate);
  return r;
}

TEST(FuzzOwnTexts, ConsentShowsTheImageAsItIsAndAnyModemFieldsThatFit) {
  const FirmwareVersionInfo image = Record("2.20", "04/02/03", "1.09", "04/01/03");
  const unsigned type = box::kOkCancel | box::kIconQuestion;
  // Modem fields may hold the format's own words; the image's must be exact.
  const std::string own = FormatText(text::kComparison, "Date: x", ", Date:", "\n\t", "1", "2.20",
                                     "04/02/03", "1.09", "04/01/03");
  EXPECT_TRUE(IsOwnBox(own, text::kCaptionConsent, type, image));
  EXPECT_FALSE(IsOwnBox(own, text::kCaptionConsent, box::kOk, image));
  const std::string otherImage =
      FormatText(text::kComparison, "a", "b", "c", "d", "2.21", "04/02/03", "1.09", "04/01/03");
  EXPECT_FALSE(IsOwnBox(otherImage, text::kCaptionConsent, type, image));
  const std::string emptyModemField =
      FormatText(text::kComparison, "a", "", "c", "d", "2.20", "04/02/03", "1.09", "04/01/03");
  EXPECT_FALSE(IsOwnBox(emptyModemField, text::kCaptionConsent, type, image));
  const std::string tooLong(40, 'v');
  EXPECT_FALSE(IsOwnBox(FormatText(text::kComparison, tooLong.c_str(), "b", "c", "d", "2.20",
                                   "04/02/03", "1.09", "04/01/03"),
                        text::kCaptionConsent, type, image));
}

TEST(FuzzOwnTexts, EveryOtherTextOnlyWithItsCaptionTypeAndPort) {
  const FirmwareVersionInfo none;
  EXPECT_TRUE(IsOwnBox(text::kSuccess, text::kCaptionSuccess, box::kOk, none));
  EXPECT_FALSE(IsOwnBox(text::kSuccess, text::kCaptionError, box::kOk, none));
  EXPECT_TRUE(IsOwnBox("Can't open com8!", text::kCaptionErrorUpper, box::kOk, none));
  EXPECT_FALSE(IsOwnBox("Can't open com9!", text::kCaptionErrorUpper, box::kOk, none));
  EXPECT_TRUE(IsOwnStatusText("Query COM1..."));
  EXPECT_FALSE(IsOwnStatusText("Query COM0..."));
  EXPECT_FALSE(IsOwnProgressText(text::kReadingImage));
}

}  // namespace
