// The history's cost: what one port's attempt costs to record (its insert and its updates at
// each phase, as a run writes them) in a file of 1,000 and of 100,000 rows, and how long
// `fwupdate history --since` takes to choose and print the rows of the last day there.
// Prints figures; fails on nothing.

#include <chrono>
#include <cstdio>
#include <string>

#include "cli/history/HistoryLog.h"
#include "cli/history/HistoryReport.h"
#include "cli/platform/UtcTime.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// One attempt as the runner records it: begun, each phase, the flash as it changes, ended.
void Attempt(CHistoryLog& log, const ImageFacts& image, int n) {
  const ConsolePort port{"/dev/ttyUSB" + std::to_string(n % 32), ""};
  const std::int64_t id = log.Begin(port, image, 0);
  FirmwareVersionInfo modem = image.record;
  log.Reached(id, AttemptPhase::kConsent, &modem);
  log.Reached(id, AttemptPhase::kErase, nullptr);
  log.FlashNow(id, FlashState::kMayBeErased);
  log.Reached(id, AttemptPhase::kTransfer, nullptr);
  log.FlashNow(id, FlashState::kPartlyWritten);
  log.Reached(id, AttemptPhase::kFinal, nullptr);
  UpgradeOutcome outcome{
      UpgradeResult::kDone, port.name, OpenFailure::kNone, 524288, modem, image.record, {}, {}};
  AttemptFigures figures;
  figures.reached = AttemptPhase::kFinal;
  figures.historyId = id;
  log.Finish(id, outcome, figures);
}

}  // namespace

int main() {
  const std::string path = "/tmp/fw-history-bench.db";
  std::remove(path.c_str());
  std::remove((path + "-wal").c_str());
  std::remove((path + "-shm").c_str());
  CHistoryDb db;
  std::string error;
  if (!db.Open(path, CHistoryDb::Mode::kWrite, error)) {
    std::fprintf(stderr, "history_bench: %s\n", error.c_str());
    return 1;
  }
  ImageFacts image;
  image.read = true;
  image.path = "/srv/firmware/modem-2.20.bin";
  image.size = 524288;
  image.sha256 = std::string(64, 'a');
  // Rows a day apart in time, oldest first, so that --since chooses the last day's.
  std::int64_t wallMs = 1700000000000;
  HistoryRun run;
  run.host = "station-1", run.pid = 1, run.programVersion = "bench", run.mode = "update";
  CHistoryLog log(
      db, run, nullptr, [&wallMs] { return wallMs; },
      [](const std::string& why) { std::fprintf(stderr, "warning: %s\n", why.c_str()); });

  std::printf("%-8s %-22s %-26s %s\n", "rows", "per attempt (ms)", "history --since 1 day (ms)",
              "rows chosen");
  int rows = 0;
  for (int target : {1000, 100000}) {
    for (; rows < target - 100; ++rows, wallMs += 60000) Attempt(log, image, rows);
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < 100; ++i, ++rows, wallMs += 60000) Attempt(log, image, rows);
    const double perAttempt = MsSince(start) / 100;

    HistoryFilter filter;
    filter.since = IsoUtc(wallMs - 86400000);
    const Clock::time_point query = Clock::now();
    std::vector<HistoryRow> chosen;
    db.Select(filter, chosen, error);
    const std::string table = HistoryTable(chosen);
    std::printf("%-8d %-22.3f %-26.1f %zu\n", target, perAttempt, MsSince(query), chosen.size());
  }
  std::remove(path.c_str());
  return 0;
}
