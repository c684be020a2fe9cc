// The POSIX driver under CComPort on real pseudo-terminals, the test playing the modem.
// Time bounds are generous on purpose: the machines are shared; figures come from the
// serial_timeouts benchmark.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "PtyPeer.h"
#include "serial/ComPort.h"
#include "serial/posix/PosixSerialDriver.h"
#include "tests/support/TempDir.h"

namespace {

using Clock = std::chrono::steady_clock;

long MsSince(Clock::time_point t) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count());
}

constexpr int kCom3 = 2;
// Slack for a loaded machine: a time-out may end this much later than due, never earlier.
constexpr long kLate = 1500;

class PtyPort : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(peer.Ok());
    ASSERT_TRUE(port.Open(kCom3));
    ASSERT_TRUE(port.IsOpen());
    port.Configure(115200, 8, NOPARITY, ONESTOPBIT);
  }

  // Reads n bytes under the given time-outs; the elapsed time goes to `ms`.
  std::string ReadTimed(unsigned n, long& ms) {
    std::vector<char> buf(n);
    auto start = Clock::now();
    unsigned got = port.Read(buf.data(), n);
    ms = MsSince(start);
    return std::string(buf.data(), got);
  }

  PtyPeer peer;
  CPosixSerialDriver driver{{{"COM3", peer.SlavePath()}}};
  CComPort port{driver};
};

TEST_F(PtyPort, SilentPeerReturnsNothingOnceTheTotalHasPassed) {
  // 10 ms x 20 bytes + 300 ms.
  ASSERT_TRUE(port.SetTimeouts(0, 300, 10, 0, 0));
  long ms = 0;
  EXPECT_EQ(ReadTimed(20, ms), "");
  EXPECT_GE(ms, 500);
  EXPECT_LT(ms, 500 + kLate);

  // Only the multiplier, then only the constant: either alone starts the total.
  ASSERT_TRUE(port.SetTimeouts(0, 0, 20, 0, 0));
  EXPECT_EQ(ReadTimed(10, ms), "");
  EXPECT_GE(ms, 200);
  EXPECT_LT(ms, 200 + kLate);
  ASSERT_TRUE(port.SetTimeouts(0, 250, 0, 0, 0));
  EXPECT_EQ(ReadTimed(10, ms), "");
  EXPECT_GE(ms, 250);
  EXPECT_LT(ms, 250 + kLate);
}

TEST_F(PtyPort, ReadReturnsWhatCameWhenTheTotalEndsOrAtOnceWhenAllCame) {
  ASSERT_TRUE(port.SetTimeouts(0, 400, 0, 0, 0));
  peer.Send("OK\r\n");
  long ms = 0;
  EXPECT_EQ(ReadTimed(40, ms), "OK\r\n");
  EXPECT_GE(ms, 400);

  peer.Send("0123456789");
  ASSERT_TRUE(port.SetTimeouts(0, 5000, 0, 0, 0));
  EXPECT_EQ(ReadTimed(4, ms), "0123");
  EXPECT_LT(ms, kLate);
  EXPECT_EQ(ReadTimed(6, ms), "456789");
}

TEST_F(PtyPort, IntervalEndsTheReadOnlyAfterTheFirstByte) {
  // The gap rule must not fire while nothing has come yet: the first byte comes at 400 ms.
  ASSERT_TRUE(port.SetTimeouts(50, 5000, 0, 0, 0));
  peer.SendAfter(400, "abc");
  long ms = 0;
  EXPECT_EQ(ReadTimed(40, ms), "abc");
  EXPECT_GE(ms, 400);
  EXPECT_LT(ms, 400 + kLate);
}

TEST_F(PtyPort, IntervalCountsFromTheLastByteNotFromTheStartOfTheRead) {
  // Three parts 200 ms apart: every gap is under the 300 ms interval, the whole answer takes
  // longer than it. A driver that counts from the read's start or its first byte cuts it.
  ASSERT_TRUE(port.SetTimeouts(300, 5000, 0, 0, 0));
  std::thread modem([this] {
    for (const char* part : {"ab", "cd", "ef"}) {
      peer.Send(part);
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
  });
  long ms = 0;
  const std::string got = ReadTimed(40, ms);
  modem.join();
  EXPECT_EQ(got, "abcdef");
  EXPECT_GE(ms, 400 + 300);
  EXPECT_LT(ms, 400 + 300 + kLate);
}

TEST_F(PtyPort, IntervalOnlyWaitsWithoutLimitForTheFirstByte) {
  ASSERT_TRUE(port.SetTimeouts(50, 0, 0, 0, 0));
  peer.SendAfter(800, "late");
  long ms = 0;
  EXPECT_EQ(ReadTimed(40, ms), "late");
  EXPECT_GE(ms, 800);
}

TEST_F(PtyPort, AllZeroWaitsForEveryByte) {
  ASSERT_TRUE(port.SetTimeouts(0, 0, 0, 0, 0));
  peer.Send("12345");
  peer.SendAfter(300, "67890");
  long ms = 0;
  EXPECT_EQ(ReadTimed(10, ms), "1234567890");
  EXPECT_GE(ms, 300);
}

TEST_F(PtyPort, PeerHangingUpEndsAWaitThatHasNoLimit) {
  // Otherwise an unplugged modem would freeze the program for good.
  ASSERT_TRUE(port.SetTimeouts(0, 0, 0, 0, 0));
  peer.Send("ab");
  std::thread closer([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    peer.CloseMaster();
  });
  long ms = 0;
  std::string got = ReadTimed(10, ms);
  closer.join();
  EXPECT_EQ(got, "ab");
}

TEST_F(PtyPort, WriteGivesUpAtTheTotalWhenThePeerDoesNotRead) {
  ASSERT_TRUE(port.SetTimeouts(0, 0, 0, 0, 300));
  std::vector<char> big(1 << 20, 'x');
  auto start = Clock::now();
  unsigned put = port.Write(big.data(), static_cast<unsigned>(big.size()));
  long ms = MsSince(start);
  EXPECT_GT(put, 0u);
  EXPECT_LT(put, big.size());
  EXPECT_GE(ms, 300);
  EXPECT_LT(ms, 300 + kLate);
}

TEST_F(PtyPort, WriteWithoutTimeoutsSendsEverythingAsThePeerReads) {
  ASSERT_TRUE(port.SetTimeouts(0, 0, 0, 0, 0));
  std::string image(256 * 1024, '\0');
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 7 + i / 251);
  std::string received;
  std::thread reader([&] { received = peer.Receive(500); });
  EXPECT_EQ(port.Write(image.data(), static_cast<unsigned>(image.size())), image.size());
  reader.join();
  // Raw mode: every byte value passes unchanged, no CR/LF translation, no echo.
  EXPECT_EQ(received, image);
}

TEST_F(PtyPort, PurgeRxDiscardsWhatCameBefore) {
  peer.Send("stale answer");
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(port.PurgeRx());
  EXPECT_TRUE(port.PurgeTx());
  ASSERT_TRUE(port.SetTimeouts(0, 200, 0, 0, 0));
  long ms = 0;
  EXPECT_EQ(ReadTimed(40, ms), "");
}

TEST_F(PtyPort, ConfigureSetsTheLineAndGetStateReadsItBack) {
  EXPECT_TRUE(port.Configure(115200, 8, NOPARITY, ONESTOPBIT));
  SerialState state;
  // Reaches the same device as the port: the handle of the first open through this driver.
  ASSERT_TRUE(driver.GetState(1, state));
  EXPECT_EQ(state.BaudRate, 115200u);
  EXPECT_EQ(state.ByteSize, 8);
  EXPECT_EQ(state.Parity, NOPARITY);
  EXPECT_EQ(state.StopBits, ONESTOPBIT);
  EXPECT_TRUE(state.fOutxCtsFlow);
  EXPECT_EQ(state.fDtrControl, DTR_CONTROL_ENABLE);

  // A pty is always eight bits without parity, but keeps the speed and the stop bits.
  EXPECT_TRUE(port.Configure(9600, 8, NOPARITY, 2 /* two stop bits */));
  ASSERT_TRUE(driver.GetState(1, state));
  EXPECT_EQ(state.BaudRate, 9600u);
  EXPECT_EQ(state.StopBits, 2);
  // Codes the line cannot take are refused.
  EXPECT_FALSE(port.Configure(12345, 8, NOPARITY, ONESTOPBIT));
  EXPECT_FALSE(port.Configure(115200, 9, NOPARITY, ONESTOPBIT));
  EXPECT_FALSE(port.Configure(115200, 8, 7, ONESTOPBIT));
}

// After a write that timed out, close drops what is still queued rather than waiting to
// send it; after a complete write it keeps it. On a pty the queue is the peer's unread
// input (the pty has no closing wait): without the drop the peer reads every byte put
// before close (measured: 13824 of 13824), with it only what its side had taken in
// already (4095 of 15360).
TEST(PtyClose, CloseDropsTheQueuedTailOfAWriteThatEndedShortOnly) {
  const struct {
    std::uint32_t size, writeTotalMs;
    bool dropped;
  } cases[] = {{1u << 20, 300, true}, {3, 0, false}};
  for (const auto& c : cases) {
    PtyPeer peer;
    ASSERT_TRUE(peer.Ok());
    CPosixSerialDriver driver({{"COM3", peer.SlavePath()}});
    OpenFailure why;
    const SerialHandle h = driver.OpenDevice("COM3", why);
    ASSERT_NE(h, kInvalidHandle);
    SerialTimeouts timeouts;
    timeouts.WriteTotalTimeoutConstant = c.writeTotalMs;
    ASSERT_TRUE(driver.SetTimeouts(h, timeouts));
    const std::string data(c.size, 'x');
    std::uint32_t put = 0;
    ASSERT_TRUE(driver.WriteBytes(h, data.data(), c.size, put));
    ASSERT_EQ(put < c.size, c.dropped);

    const auto start = Clock::now();
    EXPECT_TRUE(driver.CloseDevice(h));
    EXPECT_LT(MsSince(start), kLate);
    const std::size_t readable = peer.Receive().size();
    if (c.dropped)
      EXPECT_LT(readable, put) << "the tail went out after close";
    else
      EXPECT_EQ(readable, put);
  }
}

TEST(PtyOpen, SecondOpenFailsWhetherByUsOrAnotherProcessAndCloseReleases) {
  PtyPeer peer;
  ASSERT_TRUE(peer.Ok());
  CPosixSerialDriver driver({{"COM3", peer.SlavePath()}});
  {
    CComPort first(driver);
    ASSERT_TRUE(first.Open(kCom3));

    CComPort second(driver);
    EXPECT_FALSE(second.Open(kCom3));
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(second.LastOpenFailure(), OpenFailure::kBusy);

    CPosixSerialDriver other({{"COM3", peer.SlavePath()}});
    CComPort third(other);
    EXPECT_FALSE(third.Open(kCom3));
    EXPECT_EQ(third.LastOpenFailure(), OpenFailure::kBusy);
  }
  {
    // Closed with the object: it opens again.
    CComPort again(driver);
    EXPECT_TRUE(again.Open(kCom3));
  }

  int ready[2], release[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(release), 0);

  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    {
      CPosixSerialDriver theirs({{"COM3", peer.SlavePath()}});
      CComPort held(theirs);
      char c = held.Open(kCom3) ? 'y' : 'n';
      if (write(ready[1], &c, 1)) {
      }
      if (read(release[0], &c, 1)) {
      }
    }
    // Closed before the exit: the exclusive flag belongs to the terminal, and the peer keeps
    // this one open, so a flag left behind would keep every user but root out.
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  EXPECT_EQ(c, 'y');
  CComPort mine(driver);
  EXPECT_FALSE(mine.Open(kCom3));
  EXPECT_FALSE(mine.IsOpen());
  EXPECT_EQ(mine.LastOpenFailure(), OpenFailure::kBusy);
  if (write(release[1], &c, 1)) {
  }
  int status = 0;
  waitpid(child, &status, 0);
  CComPort after(driver);
  EXPECT_TRUE(after.Open(kCom3));
  for (int fd : {ready[0], ready[1], release[0], release[1]}) close(fd);
}

// A stable name (a udev link in /dev/serial/by-path) is the same port: opened through the
// link it keeps out an open by the device's own name, and the other way round.
TEST(PtyOpen, ALinkToThePortIsTheSamePortForExclusiveOpens) {
  PtyPeer peer;
  ASSERT_TRUE(peer.Ok());
  TempDir dir;
  const std::string link = dir.Path() + "/pci-0000:00:14.0-usb-0:2:1.0-port0";
  ASSERT_EQ(symlink(peer.SlavePath().c_str(), link.c_str()), 0);
  CPosixSerialDriver byLink({{"COM3", link}});
  CPosixSerialDriver byDevice({{"COM3", peer.SlavePath()}});
  const std::pair<CPosixSerialDriver*, CPosixSerialDriver*> orders[] = {{&byLink, &byDevice},
                                                                        {&byDevice, &byLink}};
  for (const auto& order : orders) {
    CComPort first(*order.first);
    ASSERT_TRUE(first.Open(kCom3));
    CComPort second(*order.second);
    EXPECT_FALSE(second.Open(kCom3));
    EXPECT_EQ(second.LastOpenFailure(), OpenFailure::kBusy);
  }
}

TEST(PtyOpen, AnotherProcessCannotLockThePortWhileItIsOpen) {
  // Root passes the terminal's exclusive flag; the lock is what keeps a second updater out.
  PtyPeer peer;
  ASSERT_TRUE(peer.Ok());
  // Opened before the port, so that only the lock can stand in the way.
  const int theirs = open(peer.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(theirs, 0);
  CPosixSerialDriver driver({{"COM3", peer.SlavePath()}});
  auto lockedInChild = [theirs] {
    const pid_t child = fork();
    if (child == 0) _exit(flock(theirs, LOCK_EX | LOCK_NB) == 0 ? 0 : 1);
    int status = -1;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  };
  {
    CComPort port(driver);
    ASSERT_TRUE(port.Open(kCom3));
    EXPECT_FALSE(lockedInChild());
  }
  EXPECT_TRUE(lockedInChild());
  close(theirs);
}

TEST(PtyOpen, NamesOutsideTheTableOrMissingDevicesDoNotOpen) {
  CPosixSerialDriver driver(
      CPosixSerialDriver::PortTable{{"COM1", "/dev/nonexistent-serial-device"}});
  OpenFailure why = OpenFailure::kNone;
  EXPECT_EQ(driver.OpenDevice("COM1", why), kInvalidHandle);
  EXPECT_EQ(why, OpenFailure::kMissing);
  EXPECT_EQ(driver.OpenDevice("COM2", why), kInvalidHandle);
  EXPECT_EQ(why, OpenFailure::kMissing);
  // Not a terminal: refused rather than read as a serial line.
  CPosixSerialDriver file(CPosixSerialDriver::PortTable{{"COM1", "/dev/null"}});
  EXPECT_EQ(file.OpenDevice("COM1", why), kInvalidHandle);
  EXPECT_EQ(why, OpenFailure::kOther);

  auto table = CPosixSerialDriver::DefaultPortTable();
  EXPECT_EQ(table.size(), 8u);
  EXPECT_EQ(table["COM1"], "/dev/ttyS0");
  EXPECT_EQ(table["COM8"], "/dev/ttyS7");
}

}  // namespace
