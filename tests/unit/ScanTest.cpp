// Find on the simulated line: which port is chosen, what it costs, what the user sees.

#include <gtest/gtest.h>

#include "sim/engine/ModemEngine.h"
#include "sim/simline/SimLineDriver.h"
#include "tests/support/RecordingDlg.h"

namespace {

using Log = std::vector<std::string>;

// A found modem costs its 200 ms pause, the reset (200 ms, then a 30-byte read that ends at
// its 3001 ms time-out), the query (200 ms, 4001 ms) and 2 s for the result.
constexpr std::uint64_t kFoundCostMs = 200 + 200 + 3001 + 200 + 4001 + 2000;

class ScanTest : public ::testing::Test {
 protected:
  CVirtualClock clock;
  CSimLineDriver line{clock};
  CRecordingDlg dlg{clock, line};

  ModemConfig Answering(const std::string& ati3Answer) {
    ModemConfig config;
    config.ati3Answer = ati3Answer;
    return config;
  }
  void TearDown() override {
    EXPECT_EQ(line.OpenHandles(), 0) << "a port was left open";
    EXPECT_FALSE(dlg.HoldsPort());
    EXPECT_FALSE(dlg.statusOpen);
    EXPECT_FALSE(line.BlockedForever());
  }
};

TEST_F(ScanTest, SelectsTheFirstModemAndNeverOpensTheNext) {
  line.AttachModem("COM3");
  line.AttachModem("COM5", Answering("\r\nHARBOR817\r\n"));
  dlg.OnFind();

  EXPECT_EQ(dlg.log, (Log{"status open", "status: Query COM1...", "status: Query COM2...",
                          "status: Query COM3...", "status: Found Orvane modem on COM3.",
                          "select 2", "status close"}));
  EXPECT_EQ(dlg.PortIndex(), 2);
  EXPECT_EQ(line.OpenCount("COM3"), 1);
  EXPECT_EQ(line.OpenCount("COM5"), 0);
  EXPECT_EQ(line.Modem("COM3")->Commands(), (std::vector<std::string>{"at&f\r", "ati3\r"}));
  // Ports that do not exist cost only their 200 ms.
  EXPECT_EQ(clock.Now(), 2 * 200 + kFoundCostMs);
}

TEST_F(ScanTest, NoModemCostsEveryPortAndKeepsTheSelection) {
  dlg.ChoosePort(4);
  line.AttachModem("COM1", [] {
    ModemConfig c;
    c.silent = true;
    return c;
  }());
  line.SetPortBusy("COM2");
  line.AttachModem("COM4", Answering("\r\nOK\r\n"));
  dlg.OnFind();

  Log expected{"status open"};
  for (int n = 1; n <= 8; ++n) expected.push_back("status: Query COM" + std::to_string(n) + "...");
  expected.push_back("status: Can't found Orvane Modem.");
  expected.push_back("status close");
  EXPECT_EQ(dlg.log, expected);
  EXPECT_EQ(dlg.PortIndex(), 4);
  EXPECT_EQ(dlg.selectedPort, -1);
  EXPECT_EQ(line.OpenCount("COM2"), 1);
  // Two open ports that do not identify cost 3 x 200 ms and both read time-outs (7602 ms);
  // the six that do not open 200 ms each; then the 2 s result.
  EXPECT_EQ(clock.Now(), 2 * 7602 + 6 * 200 + 2000);
}

TEST_F(ScanTest, RecognisesOnlyAnExactIdentificationWithinFortyBytes) {
  const std::string filler35(35, '.');
  const struct {
    std::string answer;
    bool found;
  } cases[] = {
      {"\r\nZQ713\r\n\r\nOK\r\n", true},
      {"\r\nHARBOR817\r\n", true},
      {"VX294", true},
      {filler35 + "VX294", true},    // ends on the 40th byte
      {filler35 + ".VX294", false},  // its last byte is the 41st
      {filler35 + "....." + "ZQ713", false},
      {std::string("\r\n\0ZQ713\r\n", 10), false},  // the answer ends at its zero byte
      {"\r\nzq713\r\n", false},
      // One character off at either end.
      {"\r\nzQ713\r\n", false},
      {"\r\nZQ714\r\n", false},
      {"\r\nhARBOR817\r\n", false},
      {"\r\nHARBOR818\r\n", false},
      {"\r\nvX294\r\n", false},
      {"\r\nVX295\r\n", false},
      {"\r\nHarbor817\r\n", false},
      {"\r\nVx294\r\n", false},
  };
  for (const auto& c : cases) {
    CVirtualClock caseClock;
    CSimLineDriver caseLine{caseClock};
    CRecordingDlg caseDlg{caseClock, caseLine};
    caseLine.AttachModem("COM1", Answering(c.answer));
    caseDlg.OnFind();
    EXPECT_EQ(caseDlg.selectedPort, c.found ? 0 : -1) << c.answer;
    EXPECT_EQ(caseLine.OpenHandles(), 0);
  }
}

TEST_F(ScanTest, AGreetingAtOpenDoesNotPushTheIdentificationOutOfItsWindow) {
  ModemConfig config;
  config.banner = "\r\nXR-56 boot loader 1.3\r\nFlash 2048K ok\r\nDSP 1.07 ok\r\nModem ready\r\n";
  line.AttachModem("COM1", config);
  dlg.OnFind();
  EXPECT_EQ(dlg.selectedPort, 0);
  EXPECT_EQ(line.Modem("COM1")->Errors(), std::vector<std::string>{});
}

TEST_F(ScanTest, EchoedCommandsDoNotHideTheIdentification) {
  ModemConfig config;
  config.echo = true;
  config.identification = "VX294";
  line.AttachModem("COM2", config);
  dlg.OnFind();
  EXPECT_EQ(dlg.PortIndex(), 1);
}

TEST_F(ScanTest, ScanOfTheFirstPortsStopsAtItsCountAndReportsNothingMissing) {
  line.AttachModem("COM3");
  EXPECT_EQ(dlg.ScanPorts(2), -1);
  EXPECT_EQ(dlg.log, (Log{"status: Query COM1...", "status: Query COM2..."}));
  EXPECT_EQ(line.OpenCount("COM3"), 0);
  EXPECT_EQ(clock.Now(), 2 * 200u);

  dlg.log.clear();
  EXPECT_EQ(dlg.ScanPorts(3), 2);
  EXPECT_EQ(dlg.log.back(), "select 2");
  EXPECT_EQ(dlg.PortIndex(), 2);
}

TEST_F(ScanTest, LeavesThePortsAloneWhileAPortObjectIsHeld) {
  line.AttachModem("COM1");
  dlg.HoldPort();
  dlg.OnFind();
  EXPECT_EQ(dlg.log, (Log{"status open", "status close"}));
  EXPECT_EQ(line.OpenCount("COM1"), 0);
  EXPECT_EQ(clock.Now(), 0u);
  EXPECT_TRUE(dlg.HoldsPort());
  EXPECT_EQ(dlg.selectedPort, -1);
  dlg.ReleasePort();
}

}  // namespace

namespace {

// The modem on the first port: the whole log, not only the port chosen.
TEST_F(ScanTest, AModemOnCom1IsFoundAtOnceAndTheLogSaysSo) {
  line.AttachModem("COM1");
  line.AttachModem("COM2");
  const std::optional<FoundPort> found = dlg.OnFind();

  ASSERT_TRUE(found);
  EXPECT_EQ(found->index, 0);
  EXPECT_EQ(found->name, "COM1");
  EXPECT_EQ(dlg.log, (Log{"status open", "status: Query COM1...",
                          "status: Found Orvane modem on COM1.", "select 0", "status close"}));
  EXPECT_EQ(dlg.boxes.size(), 0u);
  EXPECT_EQ(line.OpenCount("COM2"), 0);
  EXPECT_EQ(clock.Now(), kFoundCostMs);
}

}  // namespace
