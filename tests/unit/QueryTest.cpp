// The version query on the simulated line.

#include <gtest/gtest.h>

#include "sim/engine/ModemEngine.h"
#include "sim/simline/SimLineDriver.h"
#include "tests/support/RecordingDlg.h"

namespace {

class QueryTest : public ::testing::Test {
 protected:
  CVirtualClock clock;
  CSimLineDriver line{clock};
  CRecordingDlg dlg{clock, line};
  FirmwareVersionInfo info;

  void TearDown() override {
    EXPECT_EQ(line.OpenHandles(), 0);
    EXPECT_FALSE(line.BlockedForever());
  }
};

TEST_F(QueryTest, ReadsBothAnswersPastTheEcho) {
  ModemConfig config;
  config.echo = true;
  line.AttachModem("COM2", config);
  dlg.ChoosePort(1);

  EXPECT_TRUE(dlg.QueryModemInfo(info));
  EXPECT_STREQ(info.controllerVersion, "2.10");
  EXPECT_STREQ(info.controllerDate, " 03/15/02");
  EXPECT_STREQ(info.dspVersion, "1.07");
  EXPECT_STREQ(info.dspDate, " 02/28/02");
  EXPECT_EQ(line.Modem("COM2")->Commands(),
            (std::vector<std::string>{"AT&F\r", "ATI7\r", "ATI8\r"}));
  // Three 500 ms pauses and two 60-byte reads that run to their 601 ms time-out.
  EXPECT_EQ(clock.Now(), 3 * 500 + 2 * 601u);
  EXPECT_FALSE(dlg.HoldsPort());
  EXPECT_TRUE(dlg.boxes.empty());
}

TEST_F(QueryTest, SearchesEachAnswerAlone) {
  ModemConfig config;
  config.ati8Answer = "\r\nDSP Ver 1.07\r\n\r\nOK\r\n";
  line.AttachModem("COM1", config);

  EXPECT_FALSE(dlg.QueryModemInfo(info));
  EXPECT_STREQ(info.controllerDate, " 03/15/02");
  EXPECT_STREQ(info.dspVersion, "1.07");
  EXPECT_STREQ(info.dspDate, "");
}

TEST_F(QueryTest, APortThatWillNotOpenIsReported) {
  line.AttachModem("COM3");
  line.SetPortBusy("COM3");
  dlg.ChoosePort(2);
  std::strcpy(info.dspVersion, "stale");

  const QueryResult result = dlg.Query(info);
  EXPECT_EQ(result.status, QueryStatus::kCantOpenPort);
  EXPECT_EQ(result.port, "COM3");
  EXPECT_EQ(result.openFailure, OpenFailure::kBusy);
  ASSERT_EQ(dlg.boxes.size(), 1u);
  EXPECT_EQ(dlg.boxes[0].text, "Can't open com3!");
  EXPECT_EQ(dlg.boxes[0].caption, "ERROR");
  EXPECT_EQ(dlg.boxes[0].type, box::kOk | box::kIconError);
  EXPECT_STREQ(info.dspVersion, "");
  EXPECT_FALSE(dlg.HoldsPort());
  EXPECT_EQ(clock.Now(), 0u);
}

TEST_F(QueryTest, RefusesWhileAPortObjectIsHeld) {
  line.AttachModem("COM1");
  dlg.HoldPort();
  EXPECT_FALSE(dlg.QueryModemInfo(info));
  EXPECT_TRUE(dlg.HoldsPort());
  EXPECT_EQ(line.OpenCount("COM1"), 0);
  dlg.ReleasePort();
}

}  // namespace
