#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/engine/ModemEngine.h"
#include "tests/support/MemoryImageFile.h"

namespace {

// Drives an engine directly: sends text at a time, collects everything it said by a time.
struct Session {
  explicit Session(const ModemConfig& c = ModemConfig()) : modem(c) {}
  std::size_t Send(const std::string& s, std::uint64_t t) {
    return modem.Input(reinterpret_cast<const std::uint8_t*>(s.data()), s.size(), t);
  }
  std::string Heard(std::uint64_t t) {
    std::string r(4096, '\0');
    r.resize(modem.Output(reinterpret_cast<std::uint8_t*>(&r[0]), r.size(), t));
    return r;
  }
  CModemEngine modem;
};

struct Exchange {
  const char* command;
  const char* answer;
};

TEST(SimModemEngine, AnswersEveryCommandTheHostSends) {
  const Exchange table[] = {
      {"at&f\r", "\r\nOK\r\n"},
      {"AT&F\r", "\r\nOK\r\n"},
      {"ati3\r", "\r\nZQ713\r\n\r\nOK\r\n"},
      {"ATI7\r", "\r\nController Ver 2.10\r\nDate: 03/15/02\r\n\r\nOK\r\n"},
      {"ATI8\r", "\r\nDSP Ver 1.07\r\nDate: 02/28/02\r\n\r\nOK\r\n"},
      {"AT+F56=90\r", "\r\nErase flash? (y/n)"},
      {"Ati3\r", "\r\nERROR\r\n"},  // mixed case is not a command
      {"AT+F56=91\r", "\r\nERROR\r\n"},
  };
  for (bool echo : {false, true}) {
    for (const auto& e : table) {
      SCOPED_TRACE(std::string(e.command) + (echo ? " with echo" : ""));
      ModemConfig c;
      c.echo = echo;
      Session s(c);
      EXPECT_EQ(s.Send(e.command, 0), std::string(e.command).size());
      EXPECT_EQ(s.Heard(19), echo ? std::string(e.command) : "");
      EXPECT_EQ(s.Heard(20), e.answer);
      // The host reads versions into 60 bytes and the identification into 40.
      EXPECT_LE(std::string(e.answer).size() + (echo ? std::string(e.command).size() : 0), 60u);
      ASSERT_EQ(s.modem.Commands().size(), 1u);
      EXPECT_EQ(s.modem.Commands()[0], e.command);
    }
  }
}

TEST(SimModemEngine, ConfiguredTextsReplaceTheDefaultAnswers) {
  ModemConfig c;
  c.identification = "HARBOR817";
  c.controllerVersion = "3.01";
  c.dspDate = "12/31/99";
  c.ati8Answer = std::string("DSP Ver\0 9", 10);
  Session s(c);
  s.Send("ati3\r", 0);
  EXPECT_EQ(s.Heard(100), "\r\nHARBOR817\r\n\r\nOK\r\n");
  s.Send("ATI7\r", 100);
  EXPECT_NE(s.Heard(200).find("Controller Ver 3.01\r\n"), std::string::npos);
  s.Send("ATI8\r", 200);
  EXPECT_EQ(s.Heard(300), std::string("DSP Ver\0 9", 10));
}

TEST(SimModemEngine, EraseThenImageThenFinalAnswer) {
  ModemConfig c;
  c.eraseTimeMs = 9000;
  Session s(c);
  s.Send("AT+F56=90\r", 0);
  s.Heard(2000);
  s.Send("y", 2000);
  EXPECT_EQ(s.modem.NextEventMs(2000), 11000u);
  EXPECT_EQ(s.Heard(10999), "");
  EXPECT_EQ(s.Heard(11000), "\r\nREADY\r\n");

  std::vector<std::uint8_t> image(3000);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7);
  image[5] = '\r';  // image bytes are never commands
  EXPECT_EQ(s.modem.Input(image.data(), 1024, 12000), 1024u);
  EXPECT_EQ(s.modem.Input(image.data() + 1024, 1976, 12100), 1976u);
  EXPECT_EQ(s.Heard(12599), "");
  EXPECT_EQ(s.Heard(12600), "OK\r\n");
  EXPECT_EQ(s.modem.ImageBytes(), image);
  EXPECT_EQ(s.modem.ImageSize(), image.size());
  EXPECT_EQ(s.modem.ImageHash(), CModemEngine::HashOf(image.data(), image.size()));
  EXPECT_EQ(s.modem.FinalAnswers(), 1);
  const std::vector<std::string> commands = {"AT+F56=90\r", "y"};
  EXPECT_EQ(s.modem.Commands(), commands);
  // Back in command mode afterwards.
  s.Send("AT&F\r", 13000);
  EXPECT_EQ(s.Heard(13100), "\r\nOK\r\n");
}

// A real modem runs the image it took once it said OK: its versions are then the image's.
TEST(SimModemEngine, AfterACompleteUpdateTheVersionsAreTheImages) {
  const std::vector<char> valid = MakeValidImage();
  const struct {
    const char* name;
    std::vector<char> image;
    std::string finalAnswer;
    const char* controller;
    const char* dsp;
  } cases[] = {
      {"complete", valid, "OK\r\n", "Controller Ver 2.20\r\n", "DSP Ver 1.09\r\n"},
      {"refused by the modem", valid, "ER\r\n", "Controller Ver 2.10\r\n", "DSP Ver 1.07\r\n"},
      {"no version record", std::vector<char>(70000, 'x'), "OK\r\n", "Controller Ver 2.10\r\n",
       "DSP Ver 1.07\r\n"},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.name);
    ModemConfig c;
    c.eraseTimeMs = 1000;
    c.finalAnswer = k.finalAnswer;
    Session s(c);
    s.Send("AT+F56=90\r", 0);
    s.Send("y", 2000);
    s.Heard(3000);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(k.image.data());
    ASSERT_EQ(s.modem.Input(bytes, k.image.size(), 4000), k.image.size());
    EXPECT_EQ(s.Heard(5000), k.finalAnswer);
    s.Send("ATI7\r", 6000);
    EXPECT_NE(s.Heard(7000).find(k.controller), std::string::npos);
    s.Send("ATI8\r", 7000);
    EXPECT_NE(s.Heard(8000).find(k.dsp), std::string::npos);
  }
}

TEST(SimModemEngine, Faults) {
  std::vector<std::uint8_t> image(2048, 0x5a);
  auto erased = [&](const ModemConfig& c) {
    auto s = std::make_unique<Session>(c);
    s->Send("AT+F56=90\r", 0);
    s->Send("y", 100);
    return s;
  };
  {
    SCOPED_TRACE("silent: records commands, says nothing");
    ModemConfig c;
    c.silent = true;
    c.echo = true;
    Session s(c);
    s.Send("ati3\r", 0);
    EXPECT_EQ(s.Heard(100000), "");
    EXPECT_EQ(s.modem.NextEventMs(100000), CModemEngine::kNever);
    EXPECT_EQ(s.modem.Commands().size(), 1u);
  }
  {
    SCOPED_TRACE("no READY: OK after the erase, and no image taken");
    ModemConfig c;
    c.noReady = true;
    auto s = erased(c);
    EXPECT_EQ(s->Heard(20000), "\r\nErase flash? (y/n)\r\nOK\r\n");
  }
  {
    SCOPED_TRACE("stall after k image bytes: CTS low for good");
    ModemConfig c;
    c.stallAfterImageBytes = 100;
    auto s = erased(c);
    s->Heard(20000);
    EXPECT_EQ(s->modem.Input(image.data(), 1024, 20000), 100u);
    EXPECT_TRUE(s->modem.CtsLow());
    EXPECT_EQ(s->modem.CanTake(), 0u);
    EXPECT_EQ(s->modem.Input(image.data(), 1024, 30000), 0u);
    EXPECT_EQ(s->modem.ImageBytes().size(), 100u);
  }
  {
    SCOPED_TRACE("vanish after k image bytes");
    ModemConfig c;
    c.vanishAfterImageBytes = 1500;
    auto s = erased(c);
    s->Heard(20000);
    EXPECT_EQ(s->modem.Input(image.data(), 1024, 20000), 1024u);
    EXPECT_FALSE(s->modem.Vanished());
    EXPECT_EQ(s->modem.Input(image.data(), 1024, 20001), 476u);
    EXPECT_TRUE(s->modem.Vanished());
    EXPECT_EQ(s->Heard(30000), "");
  }
  {
    SCOPED_TRACE("wrong and missing final answers");
    ModemConfig wrong;
    wrong.finalAnswer = "ERR!";
    auto s = erased(wrong);
    s->Heard(20000);
    s->modem.Input(image.data(), 10, 20000);
    EXPECT_EQ(s->Heard(21000), "ERR!");
    ModemConfig none;
    none.noFinalAnswer = true;
    auto q = erased(none);
    q->Heard(20000);
    q->modem.Input(image.data(), 10, 20000);
    EXPECT_EQ(q->Heard(99000), "");
    EXPECT_EQ(q->modem.FinalAnswers(), 0);
  }
  {
    SCOPED_TRACE("without keeping the image, count and hash still prove what came");
    ModemConfig c;
    c.keepImage = false;
    auto s = erased(c);
    s->Heard(20000);
    s->modem.Input(image.data(), 2048, 20000);
    EXPECT_TRUE(s->modem.ImageBytes().empty());
    EXPECT_EQ(s->modem.ImageSize(), 2048u);
    EXPECT_EQ(s->modem.ImageHash(), CModemEngine::HashOf(image.data(), 2048));
  }
  {
    SCOPED_TRACE("known image length: the final answer follows the last byte");
    ModemConfig c;
    c.imageLength = 2048;
    c.finalAfterIdleMs = 60000;
    auto s = erased(c);
    s->Heard(20000);
    s->modem.Input(image.data(), 2048, 20000);
    EXPECT_EQ(s->Heard(20020), "OK\r\n");
  }
}

TEST(SimModemEngine, PacingSpendsOneTenthOfAMillisecondPerByteEachWay) {
  ModemConfig c;
  c.pace115200 = true;
  c.answerDelayMs = 0;
  Session s(c);
  std::string many(1152, '\r');
  s.Send(many, 0);  // empty lines, no answers: 1152 bytes take 100 ms
  EXPECT_EQ(s.modem.InputDoneMs(), 100u);
  s.Send("ati3\r", 100);  // 15 bytes back take about 1.3 ms after 0.4 ms in
  EXPECT_EQ(s.modem.OutputReady(101), 6u);
  EXPECT_EQ(s.Heard(102).size(), 15u);
}

TEST(SimModemEngine, GarbageInputNeverGrowsWithoutBound) {
  Session s;
  std::vector<std::uint8_t> junk(1 << 16);
  for (std::size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<std::uint8_t>(i * 131 + 7);
  EXPECT_EQ(s.modem.Input(junk.data(), junk.size(), 0), junk.size());
  for (const auto& cmd : s.modem.Commands()) EXPECT_LE(cmd.size(), 257u);
  s.Send("\rati3\r", 10);
  std::string heard = s.Heard(1000);
  EXPECT_NE(heard.find("ZQ713"), std::string::npos);
}

}  // namespace

namespace {

TEST(SimModemEngine, ReportsWhatARealModemWouldNotTake) {
  const struct {
    const char* first;  // at 0 ms
    const char* then;   // at 100 ms
    std::vector<std::string> errors;
  } cases[] = {
      {"AT+F56=90\r", "y\r", {"100 ms: \"\\r\" while erasing"}},
      {"AT+F56=90\ry", "", {"0 ms: \"y\" before the erase prompt was sent: ignored"}},
      {"AT+F56=90\r",
       "Y\r",
       {"100 ms: \"Y\" instead of \"y\" after the erase prompt", "100 ms: unknown command Y\\r"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.first) + c.then);
    Session s;
    s.Send(c.first, 0);
    s.Send(c.then, 100);
    EXPECT_EQ(s.modem.Errors(), c.errors);
  }
}

TEST(SimModemEngine, ACtsHoldDelaysAHostThatWaitsAndLosesTheBytesOfOneThatDoesNot) {
  ModemConfig c;
  c.eraseTimeMs = 0;
  c.ctsHoldAfterImageBytes = 10;
  c.ctsHoldMs = 2000;
  const std::vector<std::uint8_t> image(100, 0x42);
  for (bool flow : {true, false}) {
    SCOPED_TRACE(flow ? "CTS flow" : "no flow control");
    Session s(c);
    LineSettings line;
    line.ctsFlow = flow;
    s.modem.SetLine(line);
    s.Send("AT+F56=90\r", 0);
    s.Send("y", 100);
    s.Heard(200);
    // modem-sim reads only up to the byte that starts the hold.
    EXPECT_EQ(s.modem.CanTake(), flow ? 10u : std::numeric_limits<std::size_t>::max());
    EXPECT_EQ(s.modem.Input(image.data(), 100, 1000), 100u);
    EXPECT_EQ(s.modem.CtsHeldUntilMs(), 3000u);
    EXPECT_EQ(s.modem.InputDoneMs(), flow ? 3000u : 1000u);
    EXPECT_EQ(s.modem.ImageSize(), flow ? 100u : 10u);
    EXPECT_EQ(s.modem.Errors().size(), flow ? 0u : 1u);
  }
}

}  // namespace
