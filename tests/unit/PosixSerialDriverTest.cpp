// The POSIX driver over scripted system calls: what a pseudo-terminal cannot show (why a
// real device refused to open, a line that drains slowly or not at all, a hang-up, the
// DTR line) played call by call, with no device.

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "serial/posix/PosixSerialDriver.h"
#include "tests/support/ScriptedPosixCalls.h"

namespace {

struct ScriptedPort {
  CScriptedPosixCalls os;
  CPosixSerialDriver driver{{{"COM3", "/dev/ttyUSB0"}}, os};

  SerialHandle Open() {
    OpenFailure why = OpenFailure::kOther;
    const SerialHandle h = driver.OpenDevice("COM3", why);
    EXPECT_EQ(why, OpenFailure::kNone);
    return h;
  }
};

TEST(PosixDriverOpen, ReasonComesFromTheCallThatFailedAndTheDescriptorIsClosed) {
  const struct {
    const char* call;
    int error;
    OpenFailure why;
  } cases[] = {
      {"open", ENOENT, OpenFailure::kMissing},    {"open", ENODEV, OpenFailure::kMissing},
      {"open", ENXIO, OpenFailure::kMissing},     {"open", EACCES, OpenFailure::kDenied},
      {"open", EPERM, OpenFailure::kDenied},      {"open", EBUSY, OpenFailure::kBusy},
      {"flock", EWOULDBLOCK, OpenFailure::kBusy}, {"ioctl TIOCEXCL", EBUSY, OpenFailure::kBusy},
      {"open", EIO, OpenFailure::kOther},         {"tcgetattr", ENOTTY, OpenFailure::kOther},
      {"tcsetattr", EIO, OpenFailure::kOther},
  };
  for (const auto& c : cases) {
    ScriptedPort port;
    port.os.Fail(c.call, c.error);
    OpenFailure why = OpenFailure::kNone;
    EXPECT_EQ(port.driver.OpenDevice("COM3", why), kInvalidHandle) << c.call << " " << c.error;
    EXPECT_EQ(why, c.why) << c.call << " " << c.error;
    const bool opened = std::string(c.call) != "open";
    EXPECT_EQ(port.os.Count("close"), opened ? 1 : 0) << c.call << " " << c.error;
  }
  ScriptedPort port;
  OpenFailure why = OpenFailure::kNone;
  EXPECT_EQ(port.driver.OpenDevice("COM4", why), kInvalidHandle);
  EXPECT_EQ(why, OpenFailure::kMissing);
  EXPECT_TRUE(port.os.calls.empty());
}

// A hang-up or a device error during a wait fails the transfer instead of passing for a
// quiet line (the read's total would otherwise end it as a plain time-out).
TEST(PosixDriverLines, HangUpOrErrorDuringAWaitFailsTheTransfer) {
  for (const bool reading : {true, false}) {
    for (const short event : {short(POLLHUP), short(POLLERR)}) {
      ScriptedPort port;
      const SerialHandle h = port.Open();
      SerialTimeouts timeouts;
      timeouts.ReadTotalTimeoutConstant = 50;
      ASSERT_TRUE(port.driver.SetTimeouts(h, timeouts));
      port.os.pollEvents = {event};
      char data[8] = {};
      std::uint32_t done = 0;
      if (!reading) port.os.Fail("write", EAGAIN);  // the line is full: the write waits
      const bool ok = reading ? port.driver.ReadBytes(h, data, sizeof data, done)
                              : port.driver.WriteBytes(h, data, sizeof data, done);
      EXPECT_FALSE(ok) << (reading ? "read" : "write") << " revents " << event;
      EXPECT_EQ(done, 0u);
    }
  }
}

TEST(PosixDriverLines, DtrIsRaisedAndLoweredAsAskedAndPtysMayRefuse) {
  const struct {
    std::uint8_t dtr;
    const char* call;
    int error;
    bool ok;
  } cases[] = {
      {DTR_CONTROL_ENABLE, "ioctl TIOCMBIS", 0, true},
      {DTR_CONTROL_DISABLE, "ioctl TIOCMBIC", 0, true},
      {DTR_CONTROL_ENABLE, "ioctl TIOCMBIS", ENOTTY, true},  // a pty has no modem lines
      {DTR_CONTROL_DISABLE, "ioctl TIOCMBIC", EIO, false},
  };
  for (const auto& c : cases) {
    ScriptedPort port;
    const SerialHandle h = port.Open();
    port.os.Fail(c.call, c.error);
    SerialState state;
    state.BaudRate = 115200;
    state.fDtrControl = c.dtr;
    EXPECT_EQ(port.driver.SetState(h, state), c.ok) << c.call;
    EXPECT_EQ(port.os.Count(c.call), 1) << c.call;
    EXPECT_EQ(port.os.Count("ioctl TIOCMBIS") + port.os.Count("ioctl TIOCMBIC"), 1) << c.call;
    SerialState read;
    ASSERT_TRUE(port.driver.GetState(h, read));
    EXPECT_EQ(read.fDtrControl, c.ok ? c.dtr : DTR_CONTROL_DISABLE) << c.call;
  }
}

}  // namespace
