// The portable pieces of fwupdate: its command line, its progress figures, and its ports
// in the core's eight slots.

#include <gtest/gtest.h>

#include "cli/Arguments.h"
#include "cli/PortSlots.h"
#include "cli/ProgressMeter.h"
#include "sim/simline/SimLineDriver.h"
#include "tests/support/RecordingDlg.h"

namespace {

bool Parse(std::vector<const char*> words, Arguments& args, std::string& error) {
  words.insert(words.begin(), "fwupdate");
  return ParseArguments(static_cast<int>(words.size()), words.data(), args, error);
}

TEST(CliArguments, TakesEachCommandAndRejectsWhatItDoesNotTake) {
  Arguments args;
  std::string error;
  ASSERT_TRUE(Parse({"upgrade", "--port=/dev/ttyUSB0", "fw.bin", "--yes", "--log", "t.log"},
                    args, error));
  EXPECT_EQ(args.command, Command::kUpgrade);
  EXPECT_EQ(args.ports, std::vector<std::string>{"/dev/ttyUSB0"});
  EXPECT_EQ(args.image, "fw.bin");
  EXPECT_TRUE(args.yes);
  EXPECT_EQ(args.logFile, "t.log");

  Arguments find;
  ASSERT_TRUE(Parse({"find", "-p", "COM3", "--port", "COM1"}, find, error));
  EXPECT_EQ(find.ports, (std::vector<std::string>{"COM3", "COM1"}));

  const struct {
    std::vector<const char*> words;
    const char* error;
  } bad[] = {
      {{}, "no command given (find, info or upgrade)"},
      {{"flash"}, "unknown command flash (find, info or upgrade)"},
      {{"upgrade", "fw.bin"}, "upgrade needs one --port"},
      {{"upgrade", "--port", "COM1"}, "upgrade needs an image file"},
      {{"info", "--port", "COM1", "--port", "COM2"}, "info needs one --port"},
      {{"info", "--port", "COM1", "--yes"}, "--yes belongs to upgrade"},
      {{"find", "fw.bin"}, "find takes no image"},
      {{"info", "--port"}, "--port needs a value"},
      {{"info", "--port=", "x"}, "--port needs a value"},
      {{"upgrade", "--port", "COM1", "a.bin", "b.bin"}, "one image only: b.bin"},
      {{"find", "--force"}, "unknown option --force"},
  };
  for (const auto& c : bad) {
    Arguments a;
    std::string e;
    EXPECT_FALSE(Parse(c.words, a, e)) << c.error;
    EXPECT_EQ(e, c.error);
  }
  Arguments help;
  EXPECT_TRUE(Parse({"--help"}, help, error));
  EXPECT_TRUE(help.help);
}

TEST(CliProgress, TransferFiguresComeFromTheImageLengthNotTheCutRange) {
  CProgressMeter meter;
  // 80 MiB: the core's range is cut to 16 bits, the figures are not.
  const std::uint64_t total = 80ull << 20;
  meter.Start("Updating...", total, 1024, 1000);
  meter.SetRange(static_cast<std::uint16_t>(total / 1024));
  meter.SetPos(0, 1000);
  meter.SetStep(1);
  meter.Step(2000);  // the bar starts moving: rate and time left count from here
  for (int i = 1; i < 40960; ++i) meter.Step(2000);
  EXPECT_EQ(meter.Percent(), 50);
  EXPECT_EQ(meter.Figures(2000 + 4096 * 1000, true),
            "[##########----------]  50%  41943040/83886080 B  10.0 KiB/s  1:08:16 left");
  for (int i = 0; i < 40961; ++i) meter.Step(0);  // one step past the end stays at the length
  EXPECT_EQ(meter.Figures(2000 + 8192 * 1000, false),
            "100%  83886080/83886080 B  10.0 KiB/s  in 2:16:32");
}

TEST(CliProgress, EraseCountsStepsAndKnowsNoTimeLeftBeforeItMoves) {
  CProgressMeter meter;
  meter.SetRange(100);
  meter.SetStep(1);
  meter.Start("Erasing flash memory...", 0, 0, 0);
  EXPECT_EQ(meter.Figures(500, false), "  0%  --:-- left");
  meter.Step(2500);
  meter.SetPos(0, 2500);
  for (int i = 0; i < 25; ++i) meter.Step(2500 + 100 * i);
  EXPECT_EQ(meter.Figures(5000, true), "[#####---------------]  25%  0:08 left");
  EXPECT_EQ(FormatRate(850), "850 B/s");
  EXPECT_EQ(FormatRate(3.5 * 1024 * 1024), "3.5 MiB/s");
}

// The core's scan over slots that hold the user's ports: the right devices open, and its
// texts name the ports as the user gave them.
TEST(CliPortSlots, ScanOpensTheDevicesOfTheSlotsAndNamesThemInItsTexts) {
  CVirtualClock clock;
  CSimLineDriver line(clock);
  line.AttachModem("/dev/ttyUSB1");
  line.AttachModem("/dev/ttyS4");
  CPortSlots slots;
  CPortSlotDriver driver(line, slots);
  CRecordingDlg dlg(clock, driver);

  slots.Assign({{"/dev/ttyUSB0", "/dev/ttyUSB0"}, {"COM3", "/dev/ttyS2"},
                {"/dev/ttyUSB1", "/dev/ttyUSB1"}, {"COM5", "/dev/ttyS4"}});
  EXPECT_EQ(dlg.core.ScanPorts(4), 2);
  std::vector<std::string> named;
  for (const std::string& entry : dlg.Only("status: ")) {
    named.push_back(slots.NameInText(entry.substr(8)));
  }
  EXPECT_EQ(named, (std::vector<std::string>{"Query /dev/ttyUSB0...", "Query COM3...",
                                             "Query /dev/ttyUSB1...",
                                             "Found Orvane modem on /dev/ttyUSB1."}));
  EXPECT_EQ(line.OpenCount("/dev/ttyS4"), 0);

  // One port: COMn in its own slot, so the core's texts are those of the dialog program.
  EXPECT_EQ(slots.AssignOne({"com5", "/dev/ttyS4"}), 4);
  EXPECT_EQ(slots.NameInText("Can't open com5!"), "Can't open com5!");
  EXPECT_EQ(slots.AssignOne({"/dev/pts/7", "/dev/pts/7"}), 0);
  EXPECT_EQ(slots.NameInText("Can't open com1!"), "Can't open /dev/pts/7!");
  EXPECT_EQ(slots.NameInText("Can't open com2!"), "Can't open com2!");
  EXPECT_EQ(driver.OpenDevice("COM2"), kInvalidHandle);
}

}  // namespace
