// The POSIX driver under CComPort against modem-sim: the cases the Wine check runs for the
// Win32 driver, so that both drivers are held to the same behaviour.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "SimLauncher.h"
#include "serial/ComPort.h"
#include "serial/posix/PosixSerialDriver.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kCom3 = 2, kCom4 = 3, kCom5 = 4, kCom6 = 5;
constexpr long kAnswerDelay = 400;
constexpr long kLate = 1500;
const char kAnswer[] = "\r\nZQ713\r\n\r\nOK\r\n";

class ModemSimPort : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    sim = new SimLauncher(MODEM_SIM_PATH, {"COM3", "COM4:silent=1", "COM5:delay=400",
                                           "COM6:erase=200,stall-after=1000"});
  }
  static void TearDownTestSuite() {
    delete sim;
    sim = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(sim->Ready()); }

  // Opens and prepares a port the way every user of the program does.
  void Prepare(int index) {
    driver = std::make_unique<CPosixSerialDriver>(sim->Ports());
    port = std::make_unique<CComPort>(*driver);
    ASSERT_TRUE(port->Open(index));
    EXPECT_TRUE(port->Configure(115200, 8, NOPARITY, ONESTOPBIT));
    port->PurgeRx();
    port->PurgeTx();
  }
  void Say(const char* text) { port->Write(text, static_cast<unsigned>(std::strlen(text))); }
  std::string Read(unsigned n, long& ms) {
    std::vector<char> buf(n);
    auto start = Clock::now();
    unsigned got = port->Read(buf.data(), n);
    ms = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
    return std::string(buf.data(), got);
  }

  static SimLauncher* sim;
  std::unique_ptr<CPosixSerialDriver> driver;
  std::unique_ptr<CComPort> port;
};
SimLauncher* ModemSimPort::sim = nullptr;

TEST_F(ModemSimPort, ShortAnswerComesBackWhenTheTotalEnds) {
  Prepare(kCom3);
  port->SetTimeouts(0, 1000, 0, 0, 0);
  Say("ati3\r");
  long ms = 0;
  EXPECT_EQ(Read(200, ms), kAnswer);
  EXPECT_GE(ms, 1000);
  EXPECT_LT(ms, 1000 + kLate);
}

TEST_F(ModemSimPort, SilentModemGivesNothingAfterTheTotal) {
  Prepare(kCom4);
  port->SetTimeouts(0, 300, 10, 0, 0);
  Say("ati3\r");
  long ms = 0;
  EXPECT_EQ(Read(20, ms), "");
  EXPECT_GE(ms, 500);
  EXPECT_LT(ms, 500 + kLate);
}

TEST_F(ModemSimPort, LateAnswerUnderIntervalIntervalOnlyAndAllZero) {
  Prepare(kCom5);
  long ms = 0;
  port->SetTimeouts(50, 5000, 0, 0, 0);
  Say("ati3\r");
  EXPECT_EQ(Read(200, ms), kAnswer);
  EXPECT_GE(ms, kAnswerDelay - 50);
  EXPECT_LT(ms, kAnswerDelay + kLate);

  port->SetTimeouts(50, 0, 0, 0, 0);
  Say("ati3\r");
  EXPECT_EQ(Read(200, ms), kAnswer);
  EXPECT_GE(ms, kAnswerDelay - 50);

  port->SetTimeouts(0, 0, 0, 0, 0);
  Say("ati3\r");
  EXPECT_EQ(Read(sizeof kAnswer - 1, ms), kAnswer);
  EXPECT_GE(ms, kAnswerDelay - 50);
}

TEST_F(ModemSimPort, WriteGivesUpWhenTheModemStopsTakingImageBytes) {
  Prepare(kCom6);
  long ms = 0;
  port->SetTimeouts(0, 3000, 0, 0, 0);
  Say("AT&F\r");
  Read(6, ms);
  port->SetTimeouts(200, 3000, 0, 0, 0);
  Say("AT+F56=90\r");
  Read(200, ms);
  Say("y");
  port->SetTimeouts(0, 5000, 0, 0, 0);
  EXPECT_NE(Read(9, ms).find("READY"), std::string::npos);

  port->SetTimeouts(0, 0, 0, 0, 500);
  std::vector<char> image(1 << 20, 'x');
  auto start = Clock::now();
  unsigned put = port->Write(image.data(), static_cast<unsigned>(image.size()));
  ms = static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
  EXPECT_LT(put, image.size());
  EXPECT_GE(put, 1000u);
  EXPECT_GE(ms, 500);
  EXPECT_LT(ms, 500 + kLate);
}

TEST_F(ModemSimPort, PortTheSimulatorServesOpensOnlyOnce) {
  Prepare(kCom3);
  CPosixSerialDriver other(sim->Ports());
  CComPort second(other);
  EXPECT_FALSE(second.Open(kCom3));
  EXPECT_FALSE(second.IsOpen());
}

}  // namespace
