// The upgrade runner over several ports on the virtual clock: each port its own clock, line
// and modem, one question for all, and what each port's end means.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <regex>

#include "cli/args/ExitStatus.h"
#include "cli/history/HistoryLog.h"
#include "cli/run/InterruptPorts.h"
#include "cli/run/UpgradeRunner.h"
#include "cli/screen/BatchRunScreen.h"
#include "image/ImageDigest.h"
#include "serial/ForwardingSerialDriver.h"
#include "sim/engine/ModemEngine.h"
#include "sim/simline/SimLineDriver.h"
#include "tests/support/MemoryImageFile.h"
#include "tests/support/TempDir.h"
#include "tests/support/VirtualPacing.h"

namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;
const char kFile[] = "fw.bin";
const std::size_t kImageSize = 64 * 1024 + 1;

std::string g_interrupted, g_interruptedJson;  // what a stop would write, taken once
void TakeInterruptLine(const char* text) { g_interrupted += text; }
void TakeInterruptJson(const char* text) { g_interruptedJson += text; }

// A modem that already reports the records of MakeValidImage.
void Current(ModemConfig& c) {
  c.controllerVersion = "2.20", c.controllerDate = "04/02/03";
  c.dspVersion = "1.09", c.dspDate = "04/01/03";
}

std::string ReadAll(std::FILE* f) {
  std::rewind(f);
  std::string text;
  for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
  return text;
}

// The screen of several ports, with each port's end kept for the test.
struct KeptScreen : CBatchRunScreen {
  using CBatchRunScreen::CBatchRunScreen;
  std::vector<PortResult> results;
  void RunDone(const std::vector<PortResult>& r) override {
    results = r;
    CBatchRunScreen::RunDone(r);
  }
};

// A port: its own clock and simulated line, so that no two threads share one.
struct SimPort {
  CVirtualClock clock;
  CSimLineDriver line{clock};
  CModemEngine* modem = nullptr;
};

struct InterruptingPacing : CVirtualPacing {
  InterruptingPacing(CVirtualClock& clock, std::function<void()> onPause)
      : CVirtualPacing(clock), onPause(std::move(onPause)) {}
  void Pause(std::uint32_t ms) override {
    if (onPause) onPause();
    CVirtualPacing::Pause(ms);
  }
  void KeepAlive() override {
    if (onPause) onPause();
  }
  std::function<void()> onPause;
};

struct RunnerRig {
  std::map<std::string, std::unique_ptr<SimPort>> sims;
  CMemoryFileSystem files;
  CJsonEvents events{false};
  File human{std::tmpfile(), std::fclose};
  File answers{std::tmpfile(), std::fclose};
  std::unique_ptr<KeptScreen> screen;
  std::mutex mutex;
  std::map<int, std::vector<FlashState>> flash;  // each port's states as they came
  std::function<void()> onPauseOfSecondPort;
  RunPlan plan;
  // Each run's rows, in a history of its own.
  TempDir dir;
  CHistoryDb history;
  std::unique_ptr<CHistoryLog> log;
  std::vector<std::string> warnings;

  explicit RunnerRig(const std::vector<std::function<void(ModemConfig&)>>& modems) {
    files.Put(kFile, MakeValidImage(kImageSize));
    plan.image = kFile;
    plan.readImageOnce = plan.severalPorts = true;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < modems.size(); ++i) {
      const std::string name = "COM" + std::to_string(i + 1);
      auto sim = std::make_unique<SimPort>();
      ModemConfig config;
      config.imageLength = kImageSize;
      if (modems[i]) modems[i](config);
      sim->modem = &sim->line.AttachModem(name, config);
      sims[name] = std::move(sim);
      plan.ports.push_back({name, "/dev/sim" + std::to_string(i)});
      names.push_back(name);
    }
    screen = std::make_unique<KeptScreen>(human.get(), false, names, "fwupdate upgrade again",
                                          answers.get());
    SetInterruptPorts(names, true, true);
    std::string error;
    EXPECT_TRUE(history.Open(dir.Path() + "/history.db", CHistoryDb::Mode::kWrite, error)) << error;
    HistoryRun run;
    run.host = "bench-1", run.pid = 42, run.programVersion = "9.9", run.mode = "update";
    log = std::make_unique<CHistoryLog>(
        history, run, nullptr, [] { return std::int64_t{0}; },
        [this](const std::string& why) { warnings.push_back(why); });
  }

  // The rows of the run by port (each port's thread inserts its own), as column -> value.
  std::vector<std::map<std::string, std::string>> Rows() {
    std::vector<HistoryRow> rows;
    std::string error;
    EXPECT_TRUE(history.Select({}, rows, error)) << error;
    std::vector<std::map<std::string, std::string>> out;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
      std::map<std::string, std::string> row;
      for (const HistoryField& f : *it)
        row[f.name] = f.value.kind == HistoryValue::Kind::kNumber ? std::to_string(f.value.number)
                                                                  : f.value.text;
      out.push_back(row);
    }
    std::sort(out.begin(), out.end(),
              [](const auto& a, const auto& b) { return a.at("port") < b.at("port"); });
    return out;
  }

  int Run(const char* answer) {
    plan.yes = answer == nullptr;
    if (answer) std::fputs(answer, answers.get());
    std::rewind(answers.get());
    RunWorld world{[&](const ConsolePort& p) {
                     return std::make_unique<CForwardingSerialDriver>(sims.at(p.name)->line);
                   },
                   [&](const ConsolePort& p) -> std::unique_ptr<IPacing> {
                     std::function<void()> hook;
                     if (p.name == "COM2") hook = onPauseOfSecondPort;
                     return std::make_unique<InterruptingPacing>(sims.at(p.name)->clock, hook);
                   },
                   [] { return std::uint64_t{0}; },
                   files,
                   events,
                   *screen,
                   [&](int port, FlashState state) {
                     std::lock_guard<std::mutex> lock(mutex);
                     flash[port].push_back(state);
                     SetInterruptPortState(port, state);
                   },
                   [](int port, std::uint32_t bytes) { SetInterruptPortBytes(port, bytes); },
                   log.get()};
    testing::internal::CaptureStderr();
    const int status = RunUpgrades(plan, world);
    testing::internal::GetCapturedStderr();
    return status;
  }
  CModemEngine& Modem(int i) { return *sims.at("COM" + std::to_string(i + 1))->modem; }
  bool Erased(int i) {
    for (const std::string& c : Modem(i).Commands())
      if (c == "AT+F56=90\r") return true;
    return false;
  }
};

using R = UpgradeResult;
using F = FlashState;

TEST(Runner, EachPortEndsOnItsOwnAndTheRunSaysWhatEachMeans) {
  const auto noReady = [](ModemConfig& c) { c.noReady = true; };
  const auto pulled = [](ModemConfig& c) { c.vanishAfterImageBytes = 3000; };
  const struct {
    const char* name;
    std::vector<std::function<void(ModemConfig&)>> modems;
    const char* answer;  // nullptr: --yes
    bool skipCurrent, dryRun;
    int status;
    std::vector<R> outcomes;
    std::vector<F> flash;  // the last state each port reported
    std::vector<bool> erased;
    const char* says;  // a line the people's output holds
  } cases[] = {
      {"one never says READY",
       {nullptr, noReady},
       nullptr,
       false,
       false,
       exitcode::kSomePortsFailed,
       {R::kDone, R::kNotReady},
       {F::kWritten, F::kMayBeErased},
       {true, true},
       "Run the same upgrade again"},
      {"a pulled port",
       {pulled, nullptr},
       nullptr,
       false,
       false,
       exitcode::kSomePortsFailed,
       {R::kDeviceGone, R::kDone},
       {F::kPartlyWritten, F::kWritten},
       {true, true},
       "device went away (half written)"},
      {"consent no",
       {nullptr, nullptr},
       "n\n",
       false,
       false,
       exitcode::kSomePortsFailed,
       {R::kDeclined, R::kDeclined},
       {F::kUntouched, F::kUntouched},
       {false, false},
       "Not updated: nothing was written to any modem."},
      {"consent yes",
       {nullptr, nullptr},
       "y\n",
       false,
       false,
       exitcode::kDone,
       {R::kDone, R::kDone},
       {F::kWritten, F::kWritten},
       {true, true},
       "updated"},
      {"current modems, --skip-current",
       {Current, Current},
       "n\n",
       true,
       false,
       exitcode::kDone,
       {R::kCurrent, R::kCurrent},
       {F::kUntouched, F::kUntouched},
       {false, false},
       "current, untouched"},
      {"a current modem without --skip-current",
       {Current, nullptr},
       nullptr,
       false,
       false,
       exitcode::kDone,
       {R::kDone, R::kDone},
       {F::kWritten, F::kWritten},
       {true, true},
       "updated"},
      {"dry run",
       {Current, nullptr},
       "y\n",
       false,
       true,
       exitcode::kDone,
       {R::kCurrent, R::kWouldUpdate},
       {F::kUntouched, F::kUntouched},
       {false, false},
       "would update, untouched"},
      {"dry run, a silent modem",
       {[](ModemConfig& c) { c.silent = true; }, nullptr},
       nullptr,
       false,
       true,
       exitcode::kSomePortsFailed,
       {R::kQueryFailed, R::kWouldUpdate},
       {F::kUntouched, F::kUntouched},
       {false, false},
       "no versions, untouched"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RunnerRig rig(c.modems);
    rig.plan.skipCurrent = c.skipCurrent;
    rig.plan.dryRun = c.dryRun;
    EXPECT_EQ(rig.Run(c.answer), c.status);
    ASSERT_EQ(rig.screen->results.size(), c.outcomes.size());
    for (std::size_t i = 0; i < c.outcomes.size(); ++i) {
      EXPECT_EQ(rig.screen->results[i].outcome.result, c.outcomes[i]) << i;
      EXPECT_EQ(rig.flash[static_cast<int>(i)].back(), c.flash[i]) << i;
      EXPECT_EQ(rig.Erased(static_cast<int>(i)), c.erased[i]) << i;
      EXPECT_EQ(rig.Modem(static_cast<int>(i)).Errors(), std::vector<std::string>{}) << i;
      if (c.outcomes[i] == R::kDone) {
        EXPECT_EQ(rig.Modem(static_cast<int>(i)).ImageBytes().size(), kImageSize) << i;
      }
      EXPECT_EQ(rig.sims.at("COM" + std::to_string(i + 1))->line.OpenHandles(), 0) << i;
    }
    // The question is asked only where a modem waits for it.
    const std::string shown = ReadAll(rig.human.get());
    EXPECT_NE(shown.find(c.says), std::string::npos) << shown;
    const bool asked = !c.dryRun && !(c.skipCurrent && c.outcomes[0] == R::kCurrent);
    EXPECT_EQ(shown.find("Continue to update firmware of 2 modems ?") != std::string::npos, asked)
        << shown;
    // Every port left its row, complete, saying what its end means.
    const auto rows = rig.Rows();
    ASSERT_EQ(rows.size(), c.outcomes.size());
    const std::string digest = DigestImageBytes(kFile, MakeValidImage(kImageSize)).sha256;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const OutcomeRow& meant = OutcomeOf(c.outcomes[i]);
      const auto& row = rows[i];
      EXPECT_EQ(row.at("port"), "COM" + std::to_string(i + 1));
      EXPECT_EQ(row.at("state"), "ended") << i;
      EXPECT_EQ(row.at("outcome"), meant.key) << i;
      EXPECT_EQ(row.at("exit_status"), std::to_string(meant.exitStatus)) << i;
      EXPECT_EQ(row.at("flash_state"), FlashStateOf(c.flash[i]).key) << i;
      EXPECT_EQ(row.at("bytes_taken"), std::to_string(rig.screen->results[i].outcome.bytesSent))
          << i;
      EXPECT_EQ(row.at("image_sha256"), digest) << i;
      EXPECT_EQ(row.at("host"), "bench-1") << i;
      // The modem's record whenever it was read; the phase reached as far as it went.
      EXPECT_EQ(row.at("modem_dsp_version").empty(), c.outcomes[i] == R::kQueryFailed) << i;
      const char* phase = c.outcomes[i] == R::kDone       ? "final"
                          : c.outcomes[i] == R::kNotReady ? "erase"
                          : c.erased[i]                   ? "transfer"
                          : c.outcomes[i] == R::kDeclined ? "consent"
                                                          : "query";
      EXPECT_EQ(row.at("phase"), phase) << i;
    }
    EXPECT_EQ(rig.warnings, std::vector<std::string>{});
  }
}

// Stopped during one port's transfer: its line and its port_done say it is partly written
// (with the bytes its modem took), while a port whose modem never answered is untouched.
// A console closed on Windows stops as Ctrl-C does; other console events do not stop.
TEST(Runner, AStopSaysWhereEachPortWasLeft) {
  RunnerRig rig({[](ModemConfig& c) { c.silent = true; }, nullptr});
  g_interrupted.clear();
  g_interruptedJson.clear();
  rig.onPauseOfSecondPort = [&] {
    if (!g_interrupted.empty() || rig.Modem(1).ImageBytes().size() < 3 * 1024) return;
    WriteInterruptPorts(TakeInterruptLine);
    WriteInterruptJson(TakeInterruptJson, StopCause::kTerminate);
  };
  EXPECT_EQ(rig.Run(nullptr), exitcode::kSomePortsFailed);
  EXPECT_EQ(g_interrupted,
            "  COM1: untouched: its firmware was not touched\n"
            "  COM2: half written: it will not work until an upgrade completes\n");
  const std::string done =
      "{\"schema\":1,\"event\":\"port_done\",\"port\":\"COM%d\",\"outcome\":\"interrupted\","
      "\"exit_status\":143,\"message_id\":\"interrupted\",\"message\":\"fwupdate was stopped "
      "while it worked on COM%d.\",\"bytes_sent\":%d,\"flash_state\":\"%s\"}\n";
  char expected[1024];
  std::snprintf(expected, sizeof expected, (done + done).c_str(), 1, 1, 0, "untouched", 2, 2,
                3 * 1024, "partly_written");
  StopCause cause = StopCause::kTerminate;
  for (unsigned long event : {0ul, 1ul, 2ul, 5ul, 6ul}) {
    EXPECT_TRUE(StopOfConsoleEvent(event, cause)) << event;
    EXPECT_EQ(StopStatus(cause), exitcode::kInterrupted) << event;
  }
  EXPECT_FALSE(StopOfConsoleEvent(3, cause));
  EXPECT_EQ(StopStatus(StopCause::kTerminate), 143);
  // Each event stamped with the time of the stop, in the form of every other event's.
  const std::regex stamp(",\"time\":\"\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}Z\"");
  EXPECT_EQ(std::regex_replace(g_interruptedJson, stamp, ""),
            std::string(expected) +
                "{\"schema\":1,\"event\":\"end\",\"command\":\"upgrade\","
                "\"exit_status\":143}\n");
}

}  // namespace
