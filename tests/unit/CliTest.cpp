// The portable pieces of fwupdate: its command line, its progress figures, its lines for
// the core's messages and outcomes.

#include <gtest/gtest.h>

#include <set>

#include "app/DialogBoxStyle.h"
#include "cli/args/Arguments.h"
#include "cli/args/ExitStatus.h"
#include "cli/screen/ProgressMeter.h"
#include "cli/texts/ConsoleTexts.h"
#include "modem/MessageTexts.h"
#include "modem/NullSeams.h"
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
  ASSERT_TRUE(
      Parse({"upgrade", "--port=/dev/ttyUSB0", "fw.bin", "--yes", "--log", "t.log"}, args, error));
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
      {{}, "no command given (find, info, upgrade, station or history)"},
      {{"flash"}, "unknown command flash (find, info, upgrade, station or history)"},
      {{"upgrade", "fw.bin"}, "upgrade needs a --port, or --all"},
      {{"upgrade", "--port", "COM1"}, "upgrade needs an image file"},
      {{"info", "--port", "COM1", "--port", "COM2"}, "info needs one --port"},
      {{"info", "--port", "COM1", "--yes"}, "--yes belongs to upgrade"},
      {{"find", "fw.bin"}, "find takes no image"},
      {{"info", "--port"}, "--port needs a value"},
      {{"info", "--port=", "x"}, "--port needs a value"},
      {{"upgrade", "--port", "COM1", "a.bin", "b.bin"}, "one image only: b.bin"},
      {{"find", "--frobnicate"}, "unknown option --frobnicate"},
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

// Find over a list longer than the dialog's eight, by the names the user gave: the scan
// stops at the first modem, and its lines name the ports as given.
TEST(CliPorts, ScanTakesAnyNumberOfNamedPortsAndItsLinesNameThem) {
  struct Lines : CNullStatusView {
    std::vector<std::string> shown;
    void ShowStatus(const StatusMessage& m) override { shown.push_back(StatusText(m)); }
  } lines;
  CVirtualClock clock;
  CSimLineDriver line(clock);
  line.AttachModem("/dev/ttyUSB1");
  line.AttachModem("/dev/ttyS4");
  CRecordingDlg dlg(clock, line);
  std::vector<std::string> names;
  for (int i = 1; i <= 8; ++i) names.push_back("/dev/missing" + std::to_string(i));
  names.insert(names.end(), {"com3", "/dev/ttyUSB1", "/dev/ttyS4"});
  dlg.core.SetPorts(names);

  const std::optional<FoundPort> found = dlg.core.ScanPorts({lines, dlg});
  ASSERT_TRUE(found);
  EXPECT_EQ(found->index, 9);
  EXPECT_EQ(found->name, "/dev/ttyUSB1");
  ASSERT_EQ(lines.shown.size(), 11u);
  EXPECT_EQ(lines.shown[7], "Query /dev/missing8...");
  EXPECT_EQ(lines.shown[8], "Query COM3...");  // COMn as the dialog program writes it
  EXPECT_EQ(lines.shown[10], "Found Orvane modem on /dev/ttyUSB1.");
  EXPECT_EQ(line.OpenCount("/dev/ttyS4"), 0);

  EXPECT_EQ(ConsoleBoxText(BoxMessage(BoxId::kCantOpenPort, {0, "com5"})), "Can't open com5!");
  EXPECT_EQ(ConsoleBoxText(BoxMessage(BoxId::kCantOpenUpgradePort, {0, "/dev/pts/7"})),
            "Can't open /dev/pts/7!");
}

// Every outcome of Upgrade has its own exit status, one the help lists; every message has
// its words in both fronts. A value added to an enum without its case fails the build
// (-Werror=switch); one whose case says nothing fails here.
TEST(CliOutcomes, EveryOutcomeAndMessageHasItsOwnRenderingInEachFront) {
  std::set<int> statuses;
  for (int r = 0; r < static_cast<int>(UpgradeResult::kCount); ++r) {
    const int status = OutcomeOf(static_cast<UpgradeResult>(r)).exitStatus;
    // A modem left alone as current counts as success: a repeated run still ends 0.
    const bool success = r == static_cast<int>(UpgradeResult::kDone) ||
                         r == static_cast<int>(UpgradeResult::kCurrent) ||
                         r == static_cast<int>(UpgradeResult::kWouldUpdate);
    EXPECT_TRUE(statuses.insert(status).second || success)
        << "outcome " << r << " shares status " << status;
    EXPECT_EQ(status == exitcode::kDone, success) << r;
    bool listed = false;
    for (int i = 0; i < kExitStatusCount; ++i) listed |= kExitStatusTable[i].status == status;
    EXPECT_TRUE(listed) << "outcome " << r << ": status " << status << " is not in --help";
  }
  std::set<std::string> dialogBoxes, consoleBoxes;
  for (int id = 0; id < static_cast<int>(BoxId::kCount); ++id) {
    const BoxMessage m(static_cast<BoxId>(id), {2, "COM3"});
    const DialogBoxStyle style = BoxStyle(m.id);
    const struct {
      std::string text, caption;
      unsigned type;
    } shown{BoxText(m), style.caption, style.type};
    EXPECT_FALSE(shown.text.empty() || shown.caption.empty()) << "box " << id;
    dialogBoxes.insert(shown.text + shown.caption + std::to_string(shown.type));
    consoleBoxes.insert(ConsoleBoxText(m));
  }
  // The two "can't open" boxes differ in their icon only, and read alike on the console.
  EXPECT_EQ(dialogBoxes.size(), static_cast<std::size_t>(BoxId::kCount));
  EXPECT_EQ(consoleBoxes.size(), static_cast<std::size_t>(BoxId::kCount) - 1);
  EXPECT_EQ(consoleBoxes.count(""), 0u);
  std::set<std::string> statusLines;
  for (int id = 0; id < static_cast<int>(StatusId::kCount); ++id)
    statusLines.insert(StatusText({static_cast<StatusId>(id), {2, "COM3"}}));
  EXPECT_EQ(statusLines.size(), static_cast<std::size_t>(StatusId::kCount));
  EXPECT_EQ(statusLines.count(""), 0u);
  // Each reason a port did not open reads as that reason: a user told "busy" looks for
  // another program, not at the permissions.
  const struct {
    OpenFailure why;
    const char* text;
  } reasons[] = {
      {OpenFailure::kNone, ""},
      {OpenFailure::kMissing, "no such device"},
      {OpenFailure::kBusy, "busy: another program holds it"},
      {OpenFailure::kDenied,
       "no permission (on most systems members of the group dialout may use serial ports)"},
      {OpenFailure::kOther, "not a serial device, or the device failed"},
  };
  for (const auto& r : reasons) EXPECT_EQ(OpenFailureText(r.why), r.text);
}

}  // namespace
