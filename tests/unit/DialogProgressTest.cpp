// The dialog's adapter from the core's progress reports to the bar's messages.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modem/NullSeams.h"
#include "tests/support/RecordingDlg.h"

namespace {

// The bar's range is 16 bits: from 64 MiB on the block count wraps, as the control has always
// had it, while every block still steps the bar once.
TEST(DialogProgress, TheTransferRangeIsCutTo16BitsFrom64MiBOn) {
  constexpr std::uint32_t kMiB = 1024 * 1024;
  const struct {
    std::uint32_t length;
    int range;
  } cases[] = {
      {64 * kMiB - 1024, 65535},
      {64 * kMiB, 0},
      {64 * kMiB + 5 * 1024 + 1, 5},
      {100 * kMiB, 100 * 1024 - 65536},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    CVirtualClock clock;
    CNullSerialDriver driver;
    CRecordingDlg dlg(clock, driver);
    dlg.progress.OpenProgressWindow();
    dlg.progress.BeginPhase(ProgressPhase::kTransfer, c.length);
    for (std::uint32_t done : {1024u, 2048u}) dlg.progress.Advance(done);
    const std::vector<std::string> expected = {"progress open",
                                               "progress: Updating...",
                                               "bar range 0.." + std::to_string(c.range),
                                               "bar pos 0",
                                               "bar step 1",
                                               "bar stepit",
                                               "bar stepit"};
    EXPECT_EQ(dlg.log, expected);
  }
}

}  // namespace
