#include <gtest/gtest.h>

#include "serial/ComPort.h"
#include "tests/support/CountingDriver.h"

namespace {

TEST(ComPort, ConfigureSetsLineAndKeepsTheOrderOfTimeoutArguments) {
  CCountingDriver driver;
  {
    CComPort port(driver);
    ASSERT_TRUE(port.Open(2));
    EXPECT_TRUE(port.IsOpen());
    EXPECT_TRUE(port.Configure(115200, 8, NOPARITY, ONESTOPBIT));
    EXPECT_EQ(driver.lastState.BaudRate, 115200u);
    EXPECT_TRUE(driver.lastState.fOutxCtsFlow);
    EXPECT_EQ(driver.lastState.fDtrControl, DTR_CONTROL_ENABLE);
    EXPECT_TRUE(port.SetTimeouts(1, 2, 3, 4, 5));
    EXPECT_EQ(driver.lastTimeouts.ReadIntervalTimeout, 1u);
    EXPECT_EQ(driver.lastTimeouts.ReadTotalTimeoutConstant, 2u);
    EXPECT_EQ(driver.lastTimeouts.ReadTotalTimeoutMultiplier, 3u);
    EXPECT_EQ(driver.lastTimeouts.WriteTotalTimeoutMultiplier, 4u);
    EXPECT_EQ(driver.lastTimeouts.WriteTotalTimeoutConstant, 5u);
    EXPECT_TRUE(port.PurgeRx());
    EXPECT_TRUE(port.PurgeTx());
    EXPECT_EQ(driver.purgeFlags, PURGE_RXCLEAR | PURGE_TXCLEAR);
  }
  EXPECT_EQ(driver.closes, 1);
}

TEST(ComPort, FailedOpenClosesNothingAndRefusesIo) {
  CCountingDriver driver;
  driver.openSucceeds = false;
  {
    CComPort port(driver);
    EXPECT_FALSE(port.Open(0));
    EXPECT_FALSE(port.IsOpen());
    char b[4] = {};
    EXPECT_EQ(port.Write("at", 2), 0u);
    EXPECT_EQ(port.Read(b, 4), 0u);
    EXPECT_FALSE(port.Configure(115200, 8, NOPARITY, ONESTOPBIT));
  }
  EXPECT_EQ(driver.closes, 0);
}

TEST(ComPort, IndexOutsideTheTableOpensNothing) {
  CCountingDriver driver;
  CComPort port(driver);
  EXPECT_FALSE(port.Open(8));
  EXPECT_FALSE(port.Open(-1));
  EXPECT_EQ(driver.opens, 0);
}

}  // namespace
