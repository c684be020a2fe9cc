#pragma once
// The attempts of a run as rows of the history: inserted when a port begins, brought up to
// date at each phase, completed at its end. A write that fails is said once, through
// `warn`, and the run goes on without the history: it never costs a flash.

#include <functional>
#include <mutex>
#include <string>

#include "cli/history/HistoryDb.h"
#include "cli/run/AttemptLog.h"

// What every row of a run shares.
struct HistoryRun {
  std::string host;
  std::string bootId;
  long pid = 0;
  std::string programVersion;
  std::string command = "upgrade";
  std::string mode;  // "update", "dry_run" or "skip_current"
  std::string station, operatorName, lot, unitId;
  std::string imagePath;  // the image as a path from the root
};

class CHistoryLog : public IAttemptLog {
 public:
  CHistoryLog(CHistoryDb& db, HistoryRun run,
              std::function<std::string(const ConsolePort&)> stableName,
              std::function<std::int64_t()> wallMs, std::function<void(const std::string&)> warn);

  std::int64_t Begin(const ConsolePort& port, const ImageFacts& image, int unit) override;
  void Reached(std::int64_t id, AttemptPhase phase, const FirmwareVersionInfo* modem) override;
  void FlashNow(std::int64_t id, FlashState state) override;
  void Finish(std::int64_t id, const UpgradeOutcome& outcome,
              const AttemptFigures& figures) override;

 private:
  // Runs a statement unless the history failed before; the first failure is said.
  void Write(const char* sql, const std::vector<HistoryField>& values,
             std::int64_t* insertedId = nullptr);
  std::string Now() const;

  CHistoryDb& m_db;
  HistoryRun m_run;
  std::function<std::string(const ConsolePort&)> m_stableName;
  std::function<std::int64_t()> m_wallMs;
  std::function<void(const std::string&)> m_warn;
  std::mutex m_mutex;
  bool m_failed = false;
};
