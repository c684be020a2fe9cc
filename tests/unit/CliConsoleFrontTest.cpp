// fwupdate's console front over the core on the simulated line: the exit status of every way
// an upgrade ends, the question and its answers, and the bars as the user reads them.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>

#include "cli/args/ExitStatus.h"
#include "cli/run/UpgradeRunner.h"
#include "cli/screen/ConsoleScreen.h"
#include "cli/texts/ConsoleTexts.h"
#include "serial/ForwardingSerialDriver.h"
#include "sim/engine/ModemEngine.h"
#include "sim/simline/SimLineDriver.h"
#include "tests/support/RecordingDlg.h"
#include "tests/support/VirtualPacing.h"

namespace {

const char kFile[] = "fw.bin";
const std::size_t kImageSize = 64 * 1024 + 1;

// One port on the console screen, run by the runner over the simulated line on the virtual
// clock (the recorder lends its pacing and image files); COM2 is the port chosen.
struct ConsoleRig {
  CVirtualClock clock;
  CSimLineDriver line{clock};
  CRecordingDlg dlg{clock, line};
  CConsoleOut out;
  CConsoleScreen screen{out, {"COM2", "/dev/ttyS1"}, "fwupdate upgrade --port COM2 fw.bin"};
  CJsonEvents events{false};
  std::string printed, errors;
  bool skipCurrent = false;
  // The image opens this many times, then no more (another program took it): -1, always.
  struct LimitedFiles : IImageFiles {
    CMemoryFileSystem& fs;
    int opensLeft = -1;
    explicit LimitedFiles(CMemoryFileSystem& f) : fs(f) {}
    std::unique_ptr<IImageFile> OpenImageFile(const std::string& name) override {
      if (opensLeft == 0) return nullptr;
      if (opensLeft > 0) --opensLeft;
      return fs.Open(name);
    }
  } files{dlg.files};

  explicit ConsoleRig(bool live = false) : out(live) {}
  CModemEngine& Attach(const std::function<void(ModemConfig&)>& change = nullptr) {
    ModemConfig config;
    config.imageLength = kImageSize;
    if (change) change(config);
    return line.AttachModem("COM2", config);
  }
  // One upgrade; `answer` is what the user types at the question, nullptr for --yes.
  int Run(const char* answer) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::tmpfile(), std::fclose);
    if (answer) std::fputs(answer, in.get());
    std::rewind(in.get());
    screen.ReadAnswersFrom(in.get());
    RunPlan plan;
    plan.ports = {{"COM2", "/dev/ttyS1"}};
    plan.image = kFile;
    plan.yes = answer == nullptr;
    plan.skipCurrent = skipCurrent;
    RunWorld world{
        [&](const ConsolePort&) { return std::make_unique<CForwardingSerialDriver>(line); },
        [&](const ConsolePort&) { return std::make_unique<CVirtualPacing>(clock); },
        [&] { return clock.Now(); },
        files,
        events,
        screen,
        nullptr,
        nullptr};
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int status = RunUpgrades(plan, world);
    printed = testing::internal::GetCapturedStdout();
    errors = testing::internal::GetCapturedStderr();
    return status;
  }
};

bool Erased(const CModemEngine& modem) {
  for (const std::string& c : modem.Commands())
    if (c.find("F56") != std::string::npos || c.find("f56") != std::string::npos) return true;
  return false;
}

TEST(CliConsoleFront, EveryWayAnUpgradeEndsHasItsOwnStatusAndTheFirstFailureDecides) {
  enum Image { kValid, kNoLabels, kOpensOnce };
  const struct {
    const char* name;
    bool modem;
    std::function<void(ModemConfig&)> change;
    Image image;
    int status;
    const char* firstError;  // the first line on stderr
  } cases[] = {
      {"done", true, nullptr, kValid, exitcode::kDone, ""},
      {"no port", false, nullptr, kValid, exitcode::kCantOpenPort, "fwupdate: Can't open com2!"},
      {"silent modem", true, [](ModemConfig& c) { c.silent = true; }, kValid,
       exitcode::kCantQueryModem, "fwupdate: Can't query modem information."},
      {"no labels", true, nullptr, kNoLabels, exitcode::kIncorrectImage,
       "fwupdate: Incorrect firmware file."},
      {"no labels, no port", false, nullptr, kNoLabels, exitcode::kIncorrectImage,
       "fwupdate: Incorrect firmware file."},
      {"no labels, silent modem", true, [](ModemConfig& c) { c.silent = true; }, kNoLabels,
       exitcode::kIncorrectImage, "fwupdate: Incorrect firmware file."},
      {"file taken after its versions were read", true, nullptr, kOpensOnce,
       exitcode::kCantOpenImage, "fwupdate: Can't open firmware file!"},
      {"no ready", true, [](ModemConfig& c) { c.noReady = true; }, kValid, exitcode::kNotReady,
       "fwupdate: Modem not ready, can't update!"},
      {"stall", true, [](ModemConfig& c) { c.stallAfterImageBytes = 5000; }, kValid,
       exitcode::kTransferFailed,
       "fwupdate: Firmware transfer failed, the modem did not take the whole image."},
      {"no final answer", true, [](ModemConfig& c) { c.noFinalAnswer = true; }, kValid,
       exitcode::kNotConfirmed, "fwupdate: The modem did not confirm the update."},
  };
  for (const auto& c : cases) {
    ConsoleRig rig;
    if (c.modem) rig.Attach(c.change);
    rig.dlg.files.Put(
        kFile, c.image == kNoLabels ? MakeImage(kImageSize, {}) : MakeValidImage(kImageSize));
    // The runner reads the image once for its digest, the core once for its versions.
    if (c.image == kOpensOnce) rig.files.opensLeft = 2;
    EXPECT_EQ(rig.Run(nullptr), c.status) << c.name;
    EXPECT_EQ(rig.errors.substr(0, rig.errors.find('\n')), c.firstError) << c.name;
  }
}

// Only yes erases; anything else, or no answer at all, leaves the modem untouched.
TEST(CliConsoleFront, OnlyYesAtTheQuestionErases) {
  const struct {
    const char* answer;
    bool yes;
  } cases[] = {
      {"\n", false},   {"n\n", false},          {"no\n", false}, {"NO\n", false}, {"", false},
      {"ja\n", false}, {"yes please\n", false}, {"y\n", true},   {"yes\n", true}, {"YeS\n", true},
      {"Y", true},     {" y \n", true},
  };
  for (const auto& c : cases) {
    ConsoleRig rig;
    const CModemEngine& modem = rig.Attach();
    rig.dlg.files.Put(kFile, MakeValidImage(kImageSize));
    const int status = rig.Run(c.answer);
    EXPECT_EQ(status, c.yes ? exitcode::kDone : exitcode::kDeclined) << "[" << c.answer << "]";
    EXPECT_EQ(Erased(modem), c.yes) << "[" << c.answer << "]";
    EXPECT_EQ(modem.ImageBytes().size(), c.yes ? kImageSize : 0u) << "[" << c.answer << "]";
    EXPECT_NE(rig.printed.find("Continue to update firmware ? [y/N] "), std::string::npos);
    if (!c.yes) {
      // End of input ends the question's line before the verdict.
      const std::string verdict =
          std::string(c.answer[0] ? "" : "\n") + "Not updated: nothing was written to the modem.\n";
      EXPECT_EQ(rig.printed.substr(rig.printed.size() - verdict.size()), verdict)
          << "[" << c.answer << "]";
    }
  }
}

// Both bars reach 100%, on a terminal and in plain lines.
TEST(CliConsoleFront, EraseAndTransferBarsReachTheirEnd) {
  for (bool live : {false, true}) {
    ConsoleRig rig(live);
    rig.Attach();
    rig.dlg.files.Put(kFile, MakeValidImage(kImageSize));
    ASSERT_EQ(rig.Run(nullptr), exitcode::kDone);
    const std::string bar = live ? "[####################] " : "";
    for (const std::string& end :
         {"Erasing flash memory... " + bar + "100%", "Updating... " + bar + "100%  65537/65537 B"})
      EXPECT_NE(rig.printed.find(end), std::string::npos) << end << " in " << rig.printed;
  }
}

// A modem that already has the image's versions is left alone with --skip-current only;
// without it, it is flashed like any other.
TEST(CliConsoleFront, OnlySkipCurrentLeavesACurrentModemAlone) {
  for (const bool skip : {false, true}) {
    ConsoleRig rig;
    const CModemEngine& modem = rig.Attach([](ModemConfig& c) {
      c.controllerVersion = "2.20", c.controllerDate = "04/02/03";
      c.dspVersion = "1.09", c.dspDate = "04/01/03";
    });
    rig.dlg.files.Put(kFile, MakeValidImage(kImageSize));
    rig.skipCurrent = skip;
    EXPECT_EQ(rig.Run(nullptr), exitcode::kDone) << skip;
    EXPECT_EQ(Erased(modem), !skip) << skip;
    EXPECT_EQ(modem.ImageBytes().size(), skip ? 0u : kImageSize) << skip;
    EXPECT_EQ(rig.printed.find("Current: the modem on COM2 already has") != std::string::npos, skip)
        << rig.printed;
  }
}

}  // namespace
