#pragma once
// The history from the command line: an upgrade run's rows, and the history command that
// prints them.

#include <memory>
#include <string>

#include "cli/args/Arguments.h"
#include "cli/history/HistoryDb.h"
#include "cli/history/HistoryLog.h"
#include "cli/json/JsonEvents.h"
#include "cli/screen/ConsoleOut.h"

// The rows of one upgrade run, opened before any port is touched.
class CUpgradeHistory {
 public:
  // False when the run must refuse (--history-required and no history to write), the reason
  // said; a history that fails otherwise is a warning, said once, and the run goes on.
  bool Open(const Arguments& args, CConsoleOut& out, CJsonEvents& events,
            std::function<std::string(const ConsolePort&)> stableName);
  // Where the rows go; null when none are kept.
  IAttemptLog* Log() { return m_log.get(); }

 private:
  CHistoryDb m_db;
  std::unique_ptr<CHistoryLog> m_log;
};

// The history file --history names, or the default one.
std::string HistoryPath(const Arguments& args);

// history: prints the rows `args` choose; its exit status.
int RunHistory(const Arguments& args, CConsoleOut& out, CJsonEvents& events);
