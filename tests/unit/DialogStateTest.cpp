// The main dialog's state rules, without a window: what the port list, Open and the end of
// the dialog do to the shared state and to the Upgrade button.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/CountingDriver.h"
#include "tests/support/RecordingDlg.h"

namespace {

class DialogState : public ::testing::Test {
 protected:
  void SetUp() override {
    dlg.upgradeEnabled = true;  // as if left on, so that a missing disable shows
    dlg.fileNameText = "stale";
  }
  CVirtualClock clock;
  CCountingDriver driver;
  CRecordingDlg dlg{clock, driver};
};

TEST_F(DialogState, StartSelectsCom1DisablesUpgradeAndHoldsNoPort) {
  dlg.OnPortSelected(5);
  dlg.HoldPort(5);

  dlg.ResetDialogState();

  EXPECT_EQ(dlg.PortIndex(), 0);
  EXPECT_EQ(dlg.selectedPort, 0);
  EXPECT_FALSE(dlg.upgradeEnabled);
  EXPECT_FALSE(dlg.HoldsPort());
  EXPECT_EQ(driver.closes, 1);
  EXPECT_TRUE(dlg.Only("status").empty() && dlg.Only("progress").empty() && dlg.boxes.empty())
      << "no window or box at start";
}

TEST_F(DialogState, OnlyAChosenListEntryChangesThePort) {
  dlg.ResetDialogState();

  dlg.OnPortSelected(7);
  EXPECT_EQ(dlg.PortIndex(), 7);
  dlg.OnPortSelected(2);
  EXPECT_EQ(dlg.PortIndex(), 2);

  // No selection (text typed into the list's field) and out-of-range entries keep it.
  dlg.OnPortSelected(-1);
  EXPECT_EQ(dlg.PortIndex(), 2);
  dlg.OnPortSelected(8);
  EXPECT_EQ(dlg.PortIndex(), 2);

  EXPECT_EQ(dlg.selectedPort, 0) << "choosing in the list does not re-select it";
  EXPECT_FALSE(dlg.HoldsPort()) << "choosing a port opens nothing";
}

TEST_F(DialogState, ChoosingAFileShowsItsNameAndEnablesUpgrade) {
  dlg.ResetDialogState();
  EXPECT_EQ(dlg.FileName(), "");

  dlg.OnFileChosen("modem.bin");
  EXPECT_EQ(dlg.FileName(), "modem.bin");
  EXPECT_EQ(dlg.fileNameText, "modem.bin");
  EXPECT_TRUE(dlg.upgradeEnabled);

  // A download's end disables Upgrade; only a new choice enables it again.
  dlg.EnableUpgrade(false);
  dlg.OnFileChosen("other image.bin");
  EXPECT_EQ(dlg.FileName(), "other image.bin");
  EXPECT_EQ(dlg.fileNameText, "other image.bin");
  EXPECT_TRUE(dlg.upgradeEnabled);
}

TEST_F(DialogState, ReleasingThePortClosesAHeldPortOnceAndNothingElse) {
  dlg.ReleasePort();  // no operation ran
  EXPECT_EQ(driver.closes, 0);

  dlg.HoldPort(2);
  dlg.ReleasePort();
  EXPECT_FALSE(dlg.HoldsPort());
  EXPECT_EQ(driver.closes, 1);
  dlg.ReleasePort();
  EXPECT_EQ(driver.closes, 1) << "a second release closes nothing";

  // A port object whose open failed holds no device: nothing to close.
  driver.openSucceeds = false;
  dlg.HoldPort(3);
  dlg.ReleasePort();
  EXPECT_FALSE(dlg.HoldsPort());
  EXPECT_EQ(driver.closes, 1);
}

}  // namespace
