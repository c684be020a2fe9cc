// find over more ports than the dialog's eight, in the default order (adapters, then
// COM1..COM8): the modem on the first, the eighth, the ninth or the last port, or on none.
// Every line the user reads is checked, and no port after the modem's is opened.

#include <gtest/gtest.h>

#include <functional>

#include "cli/args/ExitStatus.h"
#include "cli/commands/Commands.h"
#include "cli/texts/ConsoleTexts.h"
#include "modem/NullSeams.h"
#include "sim/simline/SimLineDriver.h"
#include "tests/support/RecordingDlg.h"
#include "tests/support/VirtualPacing.h"

namespace {

using Lines = std::vector<std::string>;

TEST(CliFind, TheModemOnTheFirstEighthNinthOrLastOfTwelvePorts) {
  const Lines ports = {"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyUSB10", "/dev/ttyACM0",
                       "COM1",         "COM2",         "COM3",          "COM4",
                       "COM5",         "COM6",         "COM7",          "COM8"};
  const Lines queries = {"Query /dev/ttyUSB0...", "Query /dev/ttyUSB1...", "Query /dev/ttyUSB10...",
                         "Query /dev/ttyACM0...", "Query COM1...",         "Query COM2...",
                         "Query COM3...",         "Query COM4...",         "Query COM5...",
                         "Query COM6...",         "Query COM7...",         "Query COM8..."};
  for (int modemAt : {0, 7, 8, 11, -1}) {
    struct : CNullStatusView {
      Lines shown;
      void ShowStatus(const StatusMessage& m) override { shown.push_back(StatusText(m)); }
    } status;
    CVirtualClock clock;
    CSimLineDriver line(clock);
    // A modem on every port from the one under test on: only the first of them may answer.
    for (int i = modemAt < 0 ? 12 : modemAt; i < 12; ++i) line.AttachModem(ports[i]);
    CRecordingDlg dlg(clock, line);
    dlg.core.SetPorts(ports);

    const std::optional<FoundPort> found = dlg.core.ScanPorts({status, dlg});
    const int asked = modemAt < 0 ? 12 : modemAt + 1;
    Lines expected(queries.begin(), queries.begin() + asked);
    if (modemAt >= 0) {
      ASSERT_TRUE(found) << modemAt;
      EXPECT_EQ(found->index, modemAt);
      EXPECT_EQ(found->name, ports[modemAt]);
      expected.push_back("Found Orvane modem on " + ports[modemAt] + ".");
    } else {
      EXPECT_FALSE(found);
    }
    EXPECT_EQ(status.shown, expected) << modemAt;
    for (int i = asked; i < 12; ++i) EXPECT_EQ(line.OpenCount(ports[i]), 0) << ports[i];
  }
}

// find says why a port did not open: every port the user named, and of a default scan only
// the ports that are there; a port that refused this user makes "none found" status 3 with
// the advice, since a modem may be behind it. --json names each port looked at.
TEST(CliFind, SaysWhyPortsDidNotOpen) {
  using Setup = std::function<void(CSimLineDriver&)>;
  const Setup denied12 = [](CSimLineDriver& l) {
    l.AttachModem("COM1");
    l.SetPortDenied("COM1");
    l.AttachModem("COM2");
    l.SetPortDenied("COM2");
  };
  const Setup mixed = [](CSimLineDriver& l) {  // COM1 denied, COM2 busy, COM3 missing
    l.AttachModem("COM1");
    l.SetPortDenied("COM1");
    l.AttachModem("COM2");
    l.SetPortBusy("COM2");
  };
  const Setup silentBusy = [](CSimLineDriver& l) {  // COM1 busy, COM2 missing, COM3 silent
    l.AttachModem("COM1");
    l.SetPortBusy("COM1");
    ModemConfig silent;
    silent.silent = true;
    l.AttachModem("COM3", silent);
  };
  const std::string deniedLine = "  /dev/ttyS0: " + OpenFailureText(OpenFailure::kDenied);
  const std::string busyLine = "  /dev/ttyS1: " + OpenFailureText(OpenFailure::kBusy);
  const std::string missingLine = "  /dev/ttyS2: " + OpenFailureText(OpenFailure::kMissing);
  const std::string advice = "this user may not open /dev/ttyS0";
  const std::string noModem = StatusText({StatusId::kNoModem, {}});
  // COM4's device has a stable name: people see it beside the port, stdout keeps the port.
  const std::string stableLine = "COM4 (/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0)";
  const struct Case {
    const char* what;
    Setup setup;
    bool modemOnCom4, named, json, all;
    int status;
    std::string out;
    Lines inErr, notInErr;
  } cases[] = {
      {"all denied",
       denied12,
       false,
       true,
       false,
       false,
       exitcode::kCantOpenPort,
       "",
       {deniedLine, "  /dev/ttyS1: ", noModem, advice, "group dialout: add the user to it",
        "usermod -aG dialout"},
       {}},
      {"found after failures",
       mixed,
       true,
       true,
       false,
       false,
       exitcode::kDone,
       "COM4\n",
       {deniedLine, busyLine, missingLine, stableLine},
       {noModem, advice}},
      {"--all: found after failures",
       mixed,
       true,
       true,
       false,
       true,
       exitcode::kDone,
       "COM4\n",
       {deniedLine, busyLine, missingLine, stableLine},
       {noModem, advice}},
      {"none answers, none denied",
       silentBusy,
       false,
       true,
       false,
       false,
       exitcode::kNotFound,
       "",
       {"  /dev/ttyS0: " + OpenFailureText(OpenFailure::kBusy),
        "  /dev/ttyS1: " + OpenFailureText(OpenFailure::kMissing), noModem},
       {advice, "/dev/ttyS2:"}},
      {"default scan: missing ports unnamed",
       mixed,
       false,
       false,
       false,
       false,
       exitcode::kCantOpenPort,
       "",
       {deniedLine, busyLine, advice},
       {missingLine, "/dev/ttyS3:"}},
      {"--json",
       mixed,
       true,
       false,
       true,
       false,
       exitcode::kDone,
       "{\"schema\":1,\"event\":\"port_checked\",\"time\":\"1970-01-01T00:00:00.000Z\",\"port\":"
       "\"COM1\",\"result\":\"denied\"}\n"
       "{\"schema\":1,\"event\":\"port_checked\",\"time\":\"1970-01-01T00:00:00.000Z\",\"port\":"
       "\"COM2\",\"result\":\"busy\"}\n"
       "{\"schema\":1,\"event\":\"port_checked\",\"time\":\"1970-01-01T00:00:00.000Z\",\"port\":"
       "\"COM3\",\"result\":\"missing\"}\n"
       "{\"schema\":1,\"event\":\"port_checked\",\"time\":\"1970-01-01T00:00:00.000Z\",\"port\":"
       "\"COM4\",\"result\":\"found\"}\n"
       "{\"schema\":1,\"event\":\"port_found\",\"time\":\"1970-01-01T00:00:00.000Z\",\"port\":"
       "\"COM4\",\"stable_name\":"
       "\"/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0\"}\n"
       "{\"schema\":1,\"event\":\"end\",\"time\":\"1970-01-01T00:00:00.000Z\",\"command\":\"find\","
       "\"exit_status\":0}\n",
       {"COM4", stableLine},
       {missingLine}},
      {"--json: none answers",
       silentBusy,
       false,
       true,
       true,
       false,
       exitcode::kNotFound,
       "{\"schema\":1,\"event\":\"port_checked\",\"time\":\"1970-01-01T00:00:00.000Z\",\"port\":"
       "\"COM1\",\"result\":\"busy\"}\n"
       "{\"schema\":1,\"event\":\"port_checked\",\"time\":\"1970-01-01T00:00:00.000Z\",\"port\":"
       "\"COM2\",\"result\":\"missing\"}\n"
       "{\"schema\":1,\"event\":\"port_checked\",\"time\":\"1970-01-01T00:00:00.000Z\",\"port\":"
       "\"COM3\",\"result\":\"no_answer\"}\n"
       "{\"schema\":1,\"event\":\"port_checked\",\"time\":\"1970-01-01T00:00:00.000Z\",\"port\":"
       "\"COM4\",\"result\":\"missing\"}\n"
       "{\"schema\":1,\"event\":\"end\",\"time\":\"1970-01-01T00:00:00.000Z\",\"command\":\"find\","
       "\"exit_status\":1}\n",
       {noModem},
       {}},
  };
  for (const Case& c : cases) {
    CVirtualClock clock;
    CSimLineDriver line(clock);
    CVirtualPacing pacing(clock);
    c.setup(line);
    if (c.modemOnCom4) line.AttachModem("COM4");
    CConsoleOut out(false, c.json);
    CJsonEvents events(c.json, [] { return std::int64_t{0}; });
    std::vector<ConsolePort> ports;
    for (int n = 1; n <= 4; ++n)
      ports.push_back({"COM" + std::to_string(n), "/dev/ttyS" + std::to_string(n - 1)});
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    // The devices' group and stable names, as the system would name them.
    const int status = RunFind(
        {out, events, line, pacing, [](const std::string&) { return std::string("dialout"); },
         [](const std::string& device) {
           return device == "/dev/ttyS3"
                      ? std::string("/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0")
                      : std::string();
         }},
        ports, c.all, c.named);
    const std::string printed = testing::internal::GetCapturedStdout();
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, c.status) << c.what;
    EXPECT_EQ(printed, c.out) << c.what;
    for (const std::string& text : c.inErr)
      EXPECT_NE(errors.find(text), std::string::npos) << c.what << ": no " << text << " in\n"
                                                      << errors;
    for (const std::string& text : c.notInErr)
      EXPECT_EQ(errors.find(text), std::string::npos) << c.what << ": " << text << " in\n"
                                                      << errors;
    EXPECT_EQ(line.OpenHandles(), 0) << c.what;
  }
}

}  // namespace
