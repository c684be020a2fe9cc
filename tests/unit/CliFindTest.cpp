// find over more ports than the dialog's eight, in the default order (adapters, then
// COM1..COM8): the modem on the first, the eighth, the ninth or the last port, or on none.
// Every line the user reads is checked, and no port after the modem's is opened.

#include <gtest/gtest.h>

#include "cli/texts/ConsoleTexts.h"
#include "modem/NullSeams.h"
#include "sim/simline/SimLineDriver.h"
#include "tests/support/RecordingDlg.h"

namespace {

using Lines = std::vector<std::string>;

TEST(CliFind, TheModemOnTheFirstEighthNinthOrLastOfTwelvePorts) {
  const Lines ports = {"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyUSB10", "/dev/ttyACM0",
                       "COM1",         "COM2",         "COM3",          "COM4",
                       "COM5",         "COM6",         "COM7",          "COM8"};
  const Lines queries = {"Query /dev/ttyUSB0...", "Query /dev/ttyUSB1...", "Query /dev/ttyUSB10...",
                         "Query /dev/ttyACM0...", "Query COM1...",         "Query COM2...",
                         "Query COM3...",         "Query COM4...",         "Query COM5...",
                         "Query COM6...",         "Query COM7...",         "Query COM8..."};
  for (int modemAt : {0, 7, 8, 11, -1}) {
    struct : CNullStatusView {
      Lines shown;
      void ShowStatus(const StatusMessage& m) override { shown.push_back(StatusText(m)); }
    } status;
    CVirtualClock clock;
    CSimLineDriver line(clock);
    // A modem on every port from the one under test on: only the first of them may answer.
    for (int i = modemAt < 0 ? 12 : modemAt; i < 12; ++i) line.AttachModem(ports[i]);
    CRecordingDlg dlg(clock, line);
    dlg.core.SetPorts(ports);

    const std::optional<FoundPort> found = dlg.core.ScanPorts({status, dlg});
    const int asked = modemAt < 0 ? 12 : modemAt + 1;
    Lines expected(queries.begin(), queries.begin() + asked);
    if (modemAt >= 0) {
      ASSERT_TRUE(found) << modemAt;
      EXPECT_EQ(found->index, modemAt);
      EXPECT_EQ(found->name, ports[modemAt]);
      expected.push_back("Found Orvane modem on " + ports[modemAt] + ".");
    } else {
      EXPECT_FALSE(found);
    }
    EXPECT_EQ(status.shown, expected) << modemAt;
    for (int i = asked; i < 12; ++i) EXPECT_EQ(line.OpenCount(ports[i]), 0) << ports[i];
  }
}

}  // namespace
