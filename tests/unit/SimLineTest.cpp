#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "serial/ComPort.h"
#include "sim/engine/ModemEngine.h"
#include "sim/simline/SimLineDriver.h"

namespace {

// CComPort on COM3 of a simulated line, with a modem configured per test.
class SimLine : public ::testing::Test {
 protected:
  CVirtualClock clock;
  CSimLineDriver line{clock};
  std::unique_ptr<CComPort> port;

  CModemEngine& Attach(const ModemConfig& c = ModemConfig()) {
    CModemEngine& m = line.AttachModem("COM3", c);
    port = std::make_unique<CComPort>(line);
    EXPECT_TRUE(port->Open(2));
    port->Configure(115200, 8, NOPARITY, ONESTOPBIT);
    return m;
  }
  unsigned Send(const std::string& s) {
    return port->Write(s.data(), static_cast<unsigned>(s.size()));
  }
  // Reads into a buffer of exactly n bytes, so that an overrun shows under ASan.
  std::string Read(unsigned n) {
    std::vector<char> buf(n);
    unsigned got = port->Read(buf.data(), n);
    EXPECT_LE(got, n);
    return std::string(buf.data(), got);
  }
  void ToReady() {
    port->SetTimeouts(1000, 20000, 0, 100, 0);
    Send("AT+F56=90\r");
    Read(60);
    Send("y");
    Read(20);
  }
};

TEST_F(SimLine, ReadWithTotalsEndsAfterMultiplierTimesNPlusConstant) {
  ModemConfig silent;
  silent.silent = true;
  Attach(silent);
  port->SetTimeouts(0, 1, 100, 100, 0);
  EXPECT_EQ(Read(30), "");
  EXPECT_EQ(clock.Now(), 3001u);

  // A short answer does not end the read early either: only n bytes do.
  CModemEngine& m = line.AttachModem("COM4");
  (void)m;
  CComPort p4(line);
  ASSERT_TRUE(p4.Open(3));
  p4.Configure(115200, 8, NOPARITY, ONESTOPBIT);
  p4.SetTimeouts(0, 1, 100, 100, 0);
  p4.Write("at&f\r", 5);
  char buf[30];
  const std::uint64_t start = clock.Now();
  EXPECT_EQ(p4.Read(buf, 30), 6u);
  EXPECT_EQ(clock.Now() - start, 3001u);
  p4.Write("at&f\r", 5);
  EXPECT_EQ(p4.Read(buf, 6), 6u);
  EXPECT_EQ(clock.Now() - start, 3001u + 20u);
}

TEST_F(SimLine, IntervalCountsOnlyAfterTheFirstByte) {
  Attach();
  port->SetTimeouts(1000, 20000, 0, 100, 0);
  Send("AT+F56=90\r");
  clock.Advance(2000);
  // The prompt is already in: the read takes it and waits one interval for more.
  EXPECT_EQ(Read(60), "\r\nErase flash? (y/n)");
  EXPECT_EQ(clock.Now(), 3000u);
  Send("y");
  // Nine seconds of silence do not end the read; the gap after READY does.
  EXPECT_EQ(Read(20), "\r\nREADY\r\n");
  EXPECT_EQ(clock.Now(), 3000u + 9000u + 1000u);
}

TEST_F(SimLine, WaitsThatCouldNeverEndReturnAtOnceAndAreReported) {
  ModemConfig silent;
  silent.silent = true;
  Attach(silent);
  port->SetTimeouts(1000, 0, 0, 100, 0);  // interval only: waits for a first byte
  Send("y");
  EXPECT_EQ(Read(20), "");
  EXPECT_TRUE(line.BlockedForever());
  EXPECT_EQ(clock.Now(), 0u);

  line.ClearBlockedForever();
  port->SetTimeouts(1000, 20000, 0, 100, 0);  // a total bounds the same wait
  EXPECT_EQ(Read(20), "");
  EXPECT_EQ(clock.Now(), 20000u);
  EXPECT_FALSE(line.BlockedForever());
}

TEST_F(SimLine, AllZeroReadWaitsForAllBytes) {
  Attach();
  ToReady();
  port->SetTimeouts(0, 0, 0, 0, 0);
  std::string image(2000, '\x11');
  EXPECT_EQ(Send(image), 2000u);
  const std::uint64_t sent = clock.Now();
  EXPECT_EQ(Read(4), "OK\r\n");
  EXPECT_EQ(clock.Now() - sent, 500u);
  EXPECT_FALSE(line.BlockedForever());
  // Asking for more than will ever come gives what there is and flags the endless wait.
  Send("AT&F\r");
  EXPECT_EQ(Read(10), "\r\nOK\r\n");
  EXPECT_TRUE(line.BlockedForever());
}

TEST_F(SimLine, StalledWriteEndsAfterItsTotalOrIsReportedEndless) {
  ModemConfig c;
  c.stallAfterImageBytes = 100;
  Attach(c);
  ToReady();
  std::vector<char> block(1024, 'i');
  port->SetTimeouts(0, 20000, 0, 1, 10000);
  std::uint64_t start = clock.Now();
  EXPECT_EQ(port->Write(block.data(), 1024), 100u);
  EXPECT_EQ(clock.Now() - start, 1024u + 10000u);

  port->SetTimeouts(0, 0, 0, 0, 0);
  start = clock.Now();
  EXPECT_EQ(port->Write(block.data(), 1024), 0u);
  EXPECT_TRUE(line.BlockedForever());
  EXPECT_EQ(clock.Now(), start);
}

TEST_F(SimLine, PacedBytesFlowAt11520BytesPerSecond) {
  ModemConfig c;
  c.pace115200 = true;
  c.eraseTimeMs = 0;
  Attach(c);
  ToReady();
  port->SetTimeouts(0, 20000, 0, 1, 10000);
  std::uint64_t start = clock.Now();
  std::vector<char> image(11520, 'p');
  EXPECT_EQ(port->Write(image.data(), 11520), 11520u);
  EXPECT_EQ(clock.Now() - start, 1000u);
  EXPECT_EQ(line.Modem("COM3")->ImageBytes().size(), 11520u);

  // A write total shorter than the line needs cuts the write where the time ran out.
  port->SetTimeouts(0, 20000, 0, 0, 50);
  start = clock.Now();
  EXPECT_EQ(port->Write(image.data(), 11520), 576u);
  EXPECT_EQ(clock.Now() - start, 50u);
}

TEST_F(SimLine, MissingBusyAndExclusivePorts) {
  Attach();
  CComPort missing(line);
  EXPECT_FALSE(missing.Open(0));
  EXPECT_FALSE(missing.IsOpen());

  line.AttachModem("COM5");
  line.SetPortBusy("COM5");
  {
    CComPort busy(line);
    EXPECT_FALSE(busy.Open(4));
    EXPECT_FALSE(busy.IsOpen());
  }
  EXPECT_EQ(line.OpenCount("COM5"), 1);

  CComPort second(line);
  EXPECT_FALSE(second.Open(2));  // COM3 is held by the fixture's port
  EXPECT_EQ(line.OpenHandles(), 1);
  port.reset();
  EXPECT_EQ(line.OpenHandles(), 0);
  CComPort again(line);
  EXPECT_TRUE(again.Open(2));
  EXPECT_EQ(line.OpenCount("COM3"), 3);
}

TEST_F(SimLine, VanishedModemFailsEveryFurtherCall) {
  ModemConfig c;
  c.vanishAfterImageBytes = 1500;
  Attach(c);
  ToReady();
  port->SetTimeouts(0, 20000, 0, 1, 10000);
  std::vector<char> block(1024, 'v');
  EXPECT_EQ(port->Write(block.data(), 1024), 1024u);
  EXPECT_EQ(port->LastLineFailure(), LineFailure::kNone);
  EXPECT_EQ(port->Write(block.data(), 1024), 476u);
  // The port tells a device gone from a modem that stopped taking bytes.
  EXPECT_EQ(port->LastLineFailure(), LineFailure::kDeviceGone);
  EXPECT_EQ(port->Write(block.data(), 1024), 0u);
  const std::uint64_t t = clock.Now();
  EXPECT_EQ(Read(4), "");
  EXPECT_EQ(clock.Now(), t);
  EXPECT_FALSE(port->PurgeRx());
  EXPECT_EQ(port->LastLineFailure(), LineFailure::kDeviceGone);
  port.reset();
  CComPort reopen(line);
  EXPECT_FALSE(reopen.Open(2));
  EXPECT_EQ(reopen.LastLineFailure(), LineFailure::kNone);
}

TEST_F(SimLine, PurgeDropsWhatArrivedButNotWhatIsStillToCome) {
  Attach();
  port->SetTimeouts(1000, 20000, 0, 100, 0);
  Send("AT+F56=90\r");
  clock.Advance(100);
  Send("y");
  clock.Advance(5000);
  EXPECT_TRUE(port->PurgeRx());
  EXPECT_TRUE(port->PurgeTx());
  EXPECT_EQ(Read(60), "\r\nREADY\r\n");
}

TEST_F(SimLine, AnswersOfAnyContentStayWithinTheBuffer) {
  std::string junk(4096, '\0');
  for (std::size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<char>(i * 37 + 1);
  const std::string answers[] = {
      std::string("\0\0ZQ713\0", 8),
      "ZQ713 without any carriage return",
      junk,
  };
  for (const auto& a : answers) {
    SCOPED_TRACE(a.size());
    ModemConfig c;
    c.ati3Answer = a;
    Attach(c);
    port->SetTimeouts(0, 1, 100, 100, 0);
    Send("ati3\r");
    std::string got = Read(40);
    EXPECT_EQ(got, a.substr(0, 40));
    EXPECT_TRUE(port->PurgeRx());
    port.reset();
  }
}

TEST_F(SimLine, TheModemHearsEveryLineSettingAndAnswersOnlyAtTheProtocols) {
  const struct {
    const char* line;  // as the modem reports it
    void (*change)(SerialState&);
  } cases[] = {
      {"115200 baud 8N1 DTR on", [](SerialState&) {}},  // the only one served
      {"9600 baud 8N1 DTR off", nullptr},               // opened, never set up
      {"11520 baud 8N1 DTR on", [](SerialState& s) { s.BaudRate = 11520; }},
      {"115200 baud 7N1 DTR on", [](SerialState& s) { s.ByteSize = 7; }},
      {"115200 baud 8E1 DTR on", [](SerialState& s) { s.Parity = 2; }},
      {"115200 baud 8N2 DTR on", [](SerialState& s) { s.StopBits = 2; }},
      {"115200 baud 8N1 DTR off", [](SerialState& s) { s.fDtrControl = DTR_CONTROL_DISABLE; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    CModemEngine& modem = line.AttachModem("COM3");
    OpenFailure why;
    const SerialHandle h = line.OpenDevice("COM3", why);
    if (c.change) {
      SerialState s{115200, 8, NOPARITY, ONESTOPBIT, true, DTR_CONTROL_ENABLE};
      c.change(s);
      ASSERT_TRUE(line.SetState(h, s));
    }
    line.SetTimeouts(h, SerialTimeouts{0, 100, 1, 100, 0});
    std::uint32_t done = 0;
    line.WriteBytes(h, "ati3\r", 5, done);
    char answer[40];
    line.ReadBytes(h, answer, sizeof answer, done);
    const bool served = &c == &cases[0];
    EXPECT_EQ(std::string(answer, done).find("ZQ713") != std::string::npos, served);
    EXPECT_EQ(Describe(modem.Line()), c.line);
    EXPECT_EQ(modem.Errors().empty(), served);
    line.CloseDevice(h);
  }
}

}  // namespace
