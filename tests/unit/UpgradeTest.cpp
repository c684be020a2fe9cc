// Upgrade on the simulated line: consent, erase, transfer, report, and every way it can fail.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "serial/ForwardingSerialDriver.h"
#include "sim/engine/ModemEngine.h"
#include "sim/simline/SimLineDriver.h"
#include "tests/support/RecordingDlg.h"

namespace {

using Log = std::vector<std::string>;

const char kFile[] = "fw.bin";
const std::size_t kImageSize = 64 * 1024 + 1;

const char kConsentBox[] =
    "box Update Firmware 0x21: Current firmware:\n\tController Ver: 2.10, Date:  03/15/02\n\t"
    "DSP Ver: 1.07, Date:  02/28/02\n\nNew firmware:\n\tController Ver: 2.20, Date: 04/02/03\n\t"
    "DSP Ver: 1.09, Date: 04/01/03\n\n\nContinue to update firmware ?";
const char kWarningBox[] =
    "box Warning 0x30: Please do not terminate the program or reset\nyour PC while updating. "
    "Otherwise, the modem\nmay not be able to work properply.\n\nDo you want to continue "
    "updating?";
const char kSuccessBox[] = "box Success 0: The modem firmware has been updated successfully.";
const char kIncorrectBox[] = "box Error 0x10: Incorrect firmware file.\n\n Upgrade stop !";
const char kNoQueryBox[] = "box Error 0x10: Can't query modem information.\n\n Upgrade stop !";
const char kNotReadyBox[] = "box ERROR 0x10: Modem not ready, can't update!";
const char kTransferFailedBox[] =
    "box ERROR 0x10: Firmware transfer failed, the modem did not take the whole image.\n\n"
    "Please run Upgrade again.";
const char kNotConfirmedBox[] =
    "box ERROR 0x10: The modem did not confirm the update.\n\nPlease run Upgrade again.";

// One modem on COM2, chosen by Find, and a valid image chosen by Open.
struct Rig {
  CVirtualClock clock;
  CSimLineDriver line{clock};
  CRecordingDlg dlg{clock, line};
  std::vector<char> image = MakeValidImage(kImageSize);
  CModemEngine* modem = nullptr;
  bool placeImage = true;  // false when a case put its own file in place

  explicit Rig(const ModemConfig& config = ModemConfig()) {
    modem = &line.AttachModem("COM2", config);
    dlg.ChoosePort(1);
    dlg.ChooseFile(kFile);
  }
  UpgradeOutcome Run() {
    if (placeImage) dlg.files.Put(kFile, image);
    return dlg.OnUpgrade();
  }
  std::size_t Received() const { return modem->ImageBytes().size(); }

  // Every end: nothing left open, Upgrade disabled, the chosen name kept.
  void ExpectReleased() const {
    EXPECT_EQ(line.OpenHandles(), 0);
    EXPECT_FALSE(dlg.HoldsPort());
    EXPECT_EQ(dlg.files.openNow, 0);
    EXPECT_FALSE(dlg.statusOpen);
    EXPECT_FALSE(dlg.progressOpen);
    EXPECT_FALSE(dlg.upgradeEnabled);
    EXPECT_FALSE(line.BlockedForever());
    for (const auto& e : dlg.log) EXPECT_EQ(e.find("unbalanced"), std::string::npos) << e;
    EXPECT_EQ(dlg.FileName(), kFile);
    // Every byte the program sent was one the modem expected, on the protocol's line.
    EXPECT_EQ(modem->Errors(), Log{});
    EXPECT_EQ(Describe(modem->Line()), "115200 baud 8N1 DTR on");
  }
};

ModemConfig WithImageLength() {
  ModemConfig c;
  c.imageLength = kImageSize;
  return c;
}

TEST(Upgrade, FlashesTheWholeImageAndReportsSuccess) {
  Rig rig(WithImageLength());
  const UpgradeOutcome outcome = rig.Run();
  EXPECT_EQ(outcome.result, UpgradeResult::kDone);
  EXPECT_EQ(outcome.bytesSent, kImageSize);

  EXPECT_EQ(rig.dlg.Collapsed(), (Log{"status open",
                                      "status: Read firmware file information...",
                                      "status: Query modem information...",
                                      "status close",
                                      kConsentBox,
                                      kWarningBox,
                                      "progress open",
                                      "bar range 0..100",
                                      "bar pos 0",
                                      "bar step 1",
                                      "progress: Erasing flash memory...",
                                      "bar stepit",
                                      "bar pos 0",
                                      "bar stepit x100",
                                      "progress: Updating...",
                                      "bar range 0..64",
                                      "bar pos 0",
                                      "bar step 1",
                                      "bar stepit x65",
                                      "progress close",
                                      "upgrade off",
                                      kSuccessBox}));
  EXPECT_EQ(rig.modem->ImageBytes(), std::vector<std::uint8_t>(rig.image.begin(), rig.image.end()));
  EXPECT_EQ(rig.modem->Commands(),
            (Log{"AT&F\r", "ATI7\r", "ATI8\r", "AT&F\r", "AT+F56=90\r", "y"}));
  EXPECT_EQ(rig.dlg.fileNameText, kFile);
  EXPECT_EQ(rig.dlg.keepAlives, 65);
  // The reader: one 8 KiB block holds the labels, one read per date. Then 65 reads of at
  // most 1 KiB, the last yielding one byte.
  EXPECT_EQ(rig.dlg.files.reads, 1 + 2 + 65);
  // Pauses: 500 before the query, the query's 3 x 500, 100 + 100 around the consent, 500
  // after the warning, 500 after the reset, 2000 before the prompt, 100 x 100 of erase, 100
  // before the transfer. Reads: the query's 2 x 601, the prompt and "READY" each ending 1 s
  // after their last byte, and the final answer 20 ms after the last image byte.
  EXPECT_EQ(rig.dlg.pausedMs, 15300u);
  EXPECT_EQ(rig.clock.Now(), 15300u + 2 * 601 + 1000 + 1000 + 20);
  // The erase steps as the modem saw them: the prompt comes 2 s after its command and is
  // read before "y" goes; READY is read after the whole 10 s of erase.
  const auto& t = rig.modem->TimedCommands();
  ASSERT_EQ(t.size(), 6u);
  const TimedCommand &reset = t[3], &erase = t[4], &confirm = t[5];
  EXPECT_EQ(erase.atMs - reset.atMs, 500u);
  EXPECT_EQ(erase.answerReadMs - erase.atMs, 2000u);
  EXPECT_EQ(confirm.atMs - erase.atMs, 2000u + 1000u);  // the read ends 1 s after the prompt
  EXPECT_EQ(confirm.answerReadMs - confirm.atMs, 10000u);
  rig.ExpectReleased();
}

TEST(Upgrade, StaleBytesNeverPassForAnswers) {
  ModemConfig c = WithImageLength();
  c.banner = "\r\nXR-56 boot loader 1.3\r\n";
  // An ATI7 answer longer than the 60 bytes read: its tail holds another DSP version.
  c.ati7Leftover = "\r\nModem XR-56\r\nDSP Ver 0.99\r\nDate: 01/01/99\r\n";
  // READY as its read starts, then a late "OK" 50 ms after that read ended (1 s after
  // READY), before the transfer; the modem itself never confirms the image.
  c.eraseTimeMs = 10000;
  c.readyLeftover = "\r\nOK\r\n";
  c.leftoverDelayMs = 1050;
  c.finalAnswer = "ER\r\n";
  Rig rig(c);
  rig.Run();
  EXPECT_EQ(rig.dlg.Only("box"), (Log{kConsentBox, kWarningBox, kNotConfirmedBox}));
  EXPECT_EQ(rig.Received(), kImageSize);
  rig.ExpectReleased();
}

TEST(Upgrade, AReadyInTheTailOfALongErasePromptIsNotTheModemsReady) {
  ModemConfig c = WithImageLength();
  // 70 bytes: the 60 read before "y" end inside the question; the ten left over hold "READY".
  c.eraseAnswer = "\r\nFlash 512K, sector map 0-7, write-protect off. Erase? (y/n)\r\nREADY\r\n";
  ASSERT_EQ(c.eraseAnswer.size(), 70u);
  c.eraseTimeMs = 3600000;  // still erasing when the host gives up on READY
  Rig rig(c);
  rig.Run();
  EXPECT_EQ(rig.dlg.Only("box"), (Log{kConsentBox, kWarningBox, kNotReadyBox}));
  EXPECT_EQ(rig.Received(), 0u);
  rig.ExpectReleased();
}

TEST(Upgrade, SlowEraseAndCtsHoldSucceedUpToTheirTimeoutsAndNoFurther) {
  const struct {
    const char* name;
    std::uint32_t eraseMs, holdMs;
    const char* lastBox;
    std::size_t received;
  } cases[] = {
      // "y", 10 s of waiting, then a READY read of at most 20 s.
      {"erase of 30 s", 30000, 0, kSuccessBox, kImageSize},
      {"erase of 30.001 s", 30001, 0, kNotReadyBox, 0},
      // A 1 KiB block may wait 1024 ms + 10 s for CTS.
      {"CTS held 11024 ms", 9000, 11024, kSuccessBox, kImageSize},
      {"CTS held 11025 ms", 9000, 11025, kTransferFailedBox, 5000},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.name);
    ModemConfig c = WithImageLength();
    c.eraseTimeMs = k.eraseMs;
    c.ctsHoldAfterImageBytes = k.holdMs != 0 ? 5000 : -1;
    c.ctsHoldMs = k.holdMs;
    Rig rig(c);
    rig.Run();
    EXPECT_EQ(rig.dlg.Only("box").back(), k.lastBox);
    EXPECT_EQ(rig.Received(), k.received);
    rig.ExpectReleased();
  }
}

TEST(Upgrade, AFileThatGrowsDuringTheTransferSendsOnlyTheLengthTakenBefore) {
  Rig rig(WithImageLength());
  MemoryImage& file = rig.dlg.files.Put(kFile, rig.image);
  file.growAfterRead = 30000;  // past what the version reader reads
  file.growBy = 5000;
  rig.placeImage = false;
  rig.Run();
  EXPECT_EQ(rig.dlg.Only("box").back(), kSuccessBox);
  EXPECT_EQ(rig.modem->ImageBytes(), std::vector<std::uint8_t>(rig.image.begin(), rig.image.end()));
  rig.ExpectReleased();
}

TEST(Upgrade, CancelAtConsentOpensNoPort) {
  Rig rig;
  rig.dlg.boxAnswers = {box::kIdCancel};
  EXPECT_EQ(rig.Run().result, UpgradeResult::kDeclined);

  EXPECT_EQ(rig.dlg.Only("box"), Log{kConsentBox});
  EXPECT_EQ(rig.line.OpenCount("COM2"), 1);  // the query's only
  EXPECT_EQ(rig.modem->Commands().size(), 3u);
  EXPECT_EQ(rig.dlg.fileNameText, kFile);
  rig.ExpectReleased();
}

struct FailureCase {
  const char* name;
  std::function<void(ModemConfig&)> modem;
  std::function<void(Rig&)> arrange;  // after the rig is built, before Upgrade
  Log boxes;                          // every box, in order
  std::uint64_t boundMs;              // the whole Upgrade ends within this
  long received;                      // image bytes the modem took; -1: not looked at
  UpgradeResult outcome;
};

void NoModemChange(ModemConfig&) {}
void NoArrange(Rig&) {}

// While the consent box is up, something else happens to the port or the file.
std::function<void(Rig&)> OnConsent(std::function<void(Rig&)> change) {
  return [change](Rig& rig) {
    rig.dlg.onBox = [&rig, change](const RecordedBox& b) {
      if (b.caption == "Update Firmware") change(rig);
    };
  };
}

using R = UpgradeResult;

// The READY read starts at 17402 ms: 15200 of pauses, 2 x 601 of query reads, 1 s of prompt.
const FailureCase kFailures[] = {
    {"empty image",
     NoModemChange,
     [](Rig& r) { r.image.clear(); },
     {kIncorrectBox},
     0,
     0,
     R::kIncorrectImage},
    {"image held by another program",
     NoModemChange,
     [](Rig& r) {
       r.dlg.files.Put(kFile, r.image).held = true;
       r.placeImage = false;
     },
     {kIncorrectBox},
     0,
     0,
     R::kIncorrectImage},
    {"port taken since Find",
     NoModemChange,
     [](Rig& r) { r.line.SetPortBusy("COM2"); },
     {"box ERROR 0x10: Can't open com2!", kNoQueryBox},
     500,
     0,
     R::kCantOpenPort},
    {"answer without a DSP date",
     [](ModemConfig& c) { c.ati8Answer = "DSP Ver 1.07\r\n"; },
     NoArrange,
     {kNoQueryBox},
     3202,
     0,
     R::kQueryFailed},
    {"port taken at consent",
     NoModemChange,
     OnConsent([](Rig& r) { r.line.SetPortBusy("COM2"); }),
     {kConsentBox, "box ERROR 0: Can't open com2!"},
     3402,
     0,
     R::kCantOpenPort},
    {"image locked at consent",
     NoModemChange,
     OnConsent([](Rig& r) { r.dlg.files.Get(kFile).held = true; }),
     {kConsentBox},  // no box: the emptied file field asks for a new choice
     3402,
     0,
     R::kCantOpenImage},
    {"no READY",
     [](ModemConfig& c) { c.noReady = true; },
     NoArrange,
     {kConsentBox, kWarningBox, kNotReadyBox},
     17402 + 1000,
     0,
     R::kNotReady},
    {"modem dead after the prompt",
     [](ModemConfig& c) { c.eraseTimeMs = 3600000; },
     NoArrange,
     {kConsentBox, kWarningBox, kNotReadyBox},
     17402 + 20000,
     0,
     R::kNotReady},
    {"stall after 5000 image bytes",
     [](ModemConfig& c) { c.stallAfterImageBytes = 5000; },
     NoArrange,
     {kConsentBox, kWarningBox, kTransferFailedBox},
     18502 + 1024 + 10000,
     5000,
     R::kTransferIncomplete},
    {"modem vanishes after 5000 image bytes",
     [](ModemConfig& c) { c.vanishAfterImageBytes = 5000; },
     NoArrange,
     {kConsentBox, kWarningBox, kTransferFailedBox},
     18502 + 1024 + 10000,
     5000,
     R::kDeviceGone},
    {"file shrinks during the transfer",
     NoModemChange,
     [](Rig& r) {
       r.dlg.files.Put(kFile, r.image).shrinkAfterRead = 10000;
       r.placeImage = false;
     },
     {kConsentBox, kWarningBox, kTransferFailedBox},
     18502,
     10240,
     R::kTransferIncomplete},
    {"wrong final answer",
     [](ModemConfig& c) { c.finalAnswer = "ER\r\n"; },
     NoArrange,
     {kConsentBox, kWarningBox, kNotConfirmedBox},
     18502 + 20000,
     kImageSize,
     R::kNotConfirmed},
    {"no final answer",
     [](ModemConfig& c) { c.noFinalAnswer = true; },
     NoArrange,
     {kConsentBox, kWarningBox, kNotConfirmedBox},
     18502 + 20000,
     kImageSize,
     R::kNotConfirmed},
};

// Between the erase and the transfer the window first says "Updating...", then the program
// waits and purges, and only then sets the bar's range for the image.
TEST(Upgrade, TheTransferTextComesBeforeItsPauseAndPurge) {
  CVirtualClock clock;
  CSimLineDriver sim(clock);
  ModemConfig config = WithImageLength();
  CModemEngine& modem = sim.AttachModem("COM2", config);
  std::vector<std::string>* log = nullptr;
  struct PurgeLogging : CForwardingSerialDriver {
    std::vector<std::string>*& log;
    PurgeLogging(ISerialDriver& inner, std::vector<std::string>*& l)
        : CForwardingSerialDriver(inner), log(l) {}
    bool Purge(SerialHandle h, std::uint32_t flags) override {
      log->push_back(flags == PURGE_RXCLEAR ? "purge rx" : "purge tx");
      return CForwardingSerialDriver::Purge(h, flags);
    }
  } line(sim, log);
  CRecordingDlg dlg(clock, line);
  log = &dlg.log;
  dlg.ChoosePort(1);
  dlg.ChooseFile(kFile);
  dlg.files.Put(kFile, MakeValidImage(kImageSize));
  dlg.logPauses = true;
  ASSERT_EQ(dlg.OnUpgrade().result, UpgradeResult::kDone);
  ASSERT_EQ(modem.ImageBytes().size(), kImageSize);

  const auto updating = std::find(dlg.log.begin(), dlg.log.end(), "progress: Updating...");
  ASSERT_NE(updating, dlg.log.end());
  EXPECT_EQ(Log(updating - 2, updating + 7),
            (Log{"pause 100", "bar stepit", "progress: Updating...", "pause 100", "purge rx",
                 "bar range 0..64", "bar pos 0", "bar step 1", "bar stepit"}));
}

TEST(Upgrade, EveryFailureEndsBoundedWithItsBoxAndReleasesAll) {
  for (const FailureCase& f : kFailures) {
    SCOPED_TRACE(f.name);
    ModemConfig config;
    f.modem(config);
    Rig rig(config);
    f.arrange(rig);
    const UpgradeOutcome outcome = rig.Run();

    EXPECT_EQ(rig.dlg.Only("box"), f.boxes);
    EXPECT_EQ(outcome.result, f.outcome);
    EXPECT_EQ(outcome.port, "COM2");
    EXPECT_LE(rig.clock.Now(), f.boundMs);
    if (f.received >= 0) {
      EXPECT_EQ(rig.Received(), static_cast<std::size_t>(f.received));
      EXPECT_EQ(outcome.bytesSent, static_cast<std::uint32_t>(f.received));
    }
    if (f.outcome == UpgradeResult::kCantOpenPort) {
      EXPECT_EQ(outcome.openFailure, OpenFailure::kBusy);
    }
    // Failures after the consent also empty the file-name field; those before keep it.
    const bool afterConsent = f.boxes.front() == kConsentBox;
    EXPECT_EQ(rig.dlg.fileNameText, afterConsent ? "" : kFile);
    EXPECT_EQ(rig.dlg.log.back(), "upgrade off");
    rig.ExpectReleased();
  }
}

TEST(Upgrade, TheProgressWindowClosesAroundTheFailureBoxAsEachEndWants) {
  // No READY: the window goes first, then the box; a failed transfer shows the box over it.
  Rig notReady([] {
    ModemConfig c;
    c.noReady = true;
    return c;
  }());
  notReady.Run();
  const Log tail1(notReady.dlg.log.end() - 4, notReady.dlg.log.end());
  EXPECT_EQ(tail1, (Log{"progress close", kNotReadyBox, "file: ", "upgrade off"}));

  Rig stalled([] {
    ModemConfig c;
    c.stallAfterImageBytes = 0;
    return c;
  }());
  stalled.Run();
  const Log tail2(stalled.dlg.log.end() - 4, stalled.dlg.log.end());
  EXPECT_EQ(tail2, (Log{kTransferFailedBox, "progress close", "file: ", "upgrade off"}));
}

}  // namespace
