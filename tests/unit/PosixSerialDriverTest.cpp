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

// After a complete write close lets the tail go out while it goes; after a write cut short,
// or on a line that stopped taking bytes, it drops what is queued so it never waits for good.
TEST(PosixDriverClose, DrainsAfterACompleteWriteAndDropsTheRestOtherwise) {
  std::deque<int> slowLine;
  for (int left = 300; left >= 0; --left) slowLine.push_back(left);
  const std::vector<std::string> drained{"tcdrain", "close"};
  const std::vector<std::string> dropped{"tcflush TCOFLUSH", "close"};
  const struct {
    const char* name;
    int writeError;
    std::deque<int> queued;
    int drainError;
    std::vector<std::string> ending;
  } cases[] = {
      {"sent at once", 0, {}, 0, drained},
      {"slow line", 0, slowLine, 0, drained},
      {"stalled line", 0, {64}, 0, dropped},
      {"drain failed", 0, {}, EIO, {"tcdrain", "tcflush TCOFLUSH", "close"}},
      {"write failed", EIO, {64}, 0, dropped},
  };
  for (const auto& c : cases) {
    ScriptedPort port;
    const SerialHandle h = port.Open();
    port.os.queuedOutput = c.queued;
    if (c.writeError) port.os.Fail("write", c.writeError);
    if (c.drainError) port.os.Fail("tcdrain", c.drainError);
    std::uint32_t put = 0;
    EXPECT_EQ(port.driver.WriteBytes(h, "tail", 4, put), c.writeError == 0) << c.name;

    EXPECT_TRUE(port.driver.CloseDevice(h)) << c.name;
    std::vector<std::string> ending;
    std::copy_if(port.os.calls.begin(), port.os.calls.end(), std::back_inserter(ending),
                 [](const std::string& call) {
                   return call == "tcdrain" || call.rfind("tcflush", 0) == 0 || call == "close";
                 });
    EXPECT_EQ(ending, c.ending) << c.name;
  }
}

// A hang-up or a device error during a wait fails the transfer instead of passing for a
// quiet line (the read's total would otherwise end it as a plain time-out), and so does a
// call that fails outright. Those that mean a pulled adapter leave the device gone, for
// good; a quiet line or another error does not.
TEST(PosixDriverLines, APulledAdapterFailsTheTransferAsGoneAndOtherEndsDoNot) {
  const bool kRead = true, kWrite = false;
  const struct {
    const char* name;
    bool reading;
    short revents;  // what the wait reports (0: no wait)
    int error;      // errno of the read or write itself (0: it has nothing to do or waits)
    bool ok;
    LineFailure failure;
  } cases[] = {
      {"read, hang-up", kRead, POLLHUP, 0, false, LineFailure::kDeviceGone},
      {"read, device error", kRead, POLLERR, 0, false, LineFailure::kDeviceGone},
      {"read, descriptor no longer valid", kRead, POLLNVAL, 0, false, LineFailure::kDeviceGone},
      {"write, hang-up", kWrite, POLLHUP, EAGAIN, false, LineFailure::kDeviceGone},
      {"write, device error", kWrite, POLLERR, EAGAIN, false, LineFailure::kDeviceGone},
      {"read EIO", kRead, 0, EIO, false, LineFailure::kDeviceGone},
      {"read ENXIO", kRead, 0, ENXIO, false, LineFailure::kDeviceGone},
      {"read ENODEV", kRead, 0, ENODEV, false, LineFailure::kDeviceGone},
      {"write EIO", kWrite, 0, EIO, false, LineFailure::kDeviceGone},
      {"write ENXIO", kWrite, 0, ENXIO, false, LineFailure::kDeviceGone},
      {"read, another error", kRead, 0, EINVAL, false, LineFailure::kNone},
      {"write, another error", kWrite, 0, EFBIG, false, LineFailure::kNone},
      {"read, nothing there", kRead, 0, 0, true, LineFailure::kNone},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedPort port;
    const SerialHandle h = port.Open();
    SerialTimeouts timeouts;
    if (c.revents) {
      timeouts.ReadTotalTimeoutConstant = 50;
      port.os.pollEvents = {c.revents};
    } else {
      timeouts.ReadIntervalTimeout = 0xFFFFFFFFu;  // take what is there, wait for nothing
    }
    ASSERT_TRUE(port.driver.SetTimeouts(h, timeouts));
    if (c.error) port.os.Fail(c.reading ? "read" : "write", c.error);
    char data[8] = {};
    std::uint32_t done = 0;
    const bool ok = c.reading ? port.driver.ReadBytes(h, data, sizeof data, done)
                              : port.driver.WriteBytes(h, data, sizeof data, done);
    EXPECT_EQ(ok, c.ok);
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(port.driver.LineFailureOf(h), c.failure);
    // A later call that goes through does not bring a gone device back.
    EXPECT_TRUE(port.driver.WriteBytes(h, data, sizeof data, done));
    EXPECT_EQ(port.driver.LineFailureOf(h), c.failure);
    EXPECT_TRUE(port.driver.CloseDevice(h));
    EXPECT_EQ(port.driver.LineFailureOf(h), LineFailure::kNone);
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
