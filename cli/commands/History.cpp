#include "cli/commands/History.h"

#include <cstdlib>
#include <fstream>

#include "cli/history/HistoryReport.h"
#include "cli/platform/OutputStream.h"
#include "cli/platform/Platform.h"
#include "cli/platform/UtcTime.h"
#include "modem/ExitStatus.h"

namespace {

// An option, or the environment variable that stands for it on a station.
std::string OptionOrEnvironment(const std::string& option, const char* variable) {
  if (!option.empty()) return option;
  const char* value = std::getenv(variable);
  return value ? value : "";
}

bool Exists(const std::string& path) { return std::ifstream(path).good(); }

}  // namespace

std::string HistoryPath(const Arguments& args) {
  return args.historyFile.empty() ? DefaultHistoryPath() : args.historyFile;
}

bool CUpgradeHistory::Open(const Arguments& args, CConsoleOut& out, CJsonEvents& events,
                           std::function<std::string(const ConsolePort&)> stableName) {
  if (args.noHistory) return true;
  auto warn = [&out, &events](const std::string& reason) {
    out.Error("fwupdate: warning: this run is not recorded in the history: " + reason);
    events.Warning("history", reason);
  };
  const std::string path = HistoryPath(args);
  std::string error;
  if (path.empty())
    error = "no folder for it (set XDG_STATE_HOME or HOME, or give --history FILE)";
  else if (MakeParentFolders(path, error) && m_db.Open(path, CHistoryDb::Mode::kWrite, error))
    m_db.MarkInterrupted(HostName(), BootId(), ProcessAlive, error);
  if (!error.empty()) {
    if (args.historyRequired) {
      out.Error("fwupdate: the history cannot be written: " + error +
                "\nNothing was touched. Choose a file that can be written with --history FILE, "
                "or run without --history-required.");
      return false;
    }
    warn(error);
    return true;
  }
  HistoryRun run;
  run.host = HostName();
  run.bootId = BootId();
  run.pid = ProcessId();
  run.programVersion = ProgramVersion();
  run.command = CommandName(args.command);
  run.mode = args.dryRun ? "dry_run"
             : args.skipCurrent || (args.command == Command::kStation && !args.force)
                 ? "skip_current"
                 : "update";
  run.station = OptionOrEnvironment(args.station, "FWUPDATE_STATION");
  run.operatorName = OptionOrEnvironment(args.operatorName, "FWUPDATE_OPERATOR");
  run.lot = OptionOrEnvironment(args.lot, "FWUPDATE_LOT");
  run.unitId = args.unitId;
  run.imagePath = AbsolutePath(args.image);
  m_log = std::make_unique<CHistoryLog>(m_db, run, std::move(stableName), WallClockMs, warn);
  return true;
}

int RunHistory(const Arguments& args, CConsoleOut& out, CJsonEvents& events) {
  const std::string path = HistoryPath(args);
  std::string error;
  CHistoryDb db;
  std::vector<HistoryRow> rows;
  if (path.empty()) {
    error = "no history file (set XDG_STATE_HOME or HOME, or give --history FILE)";
  } else if (!Exists(path)) {
    out.Error("fwupdate: no history yet: " + path + " does not exist");
    return exitcode::kDone;
  } else {
    // Brought forward and its dead runs marked when it can be written; read as it is else.
    std::string ignored;
    if (db.Open(path, CHistoryDb::Mode::kUpdate, ignored))
      db.MarkInterrupted(HostName(), BootId(), ProcessAlive, ignored);
    else
      db.Open(path, CHistoryDb::Mode::kRead, error);
    if (error.empty()) {
      HistoryFilter filter{args.since, args.ports.empty() ? "" : args.ports.front(), args.outcome,
                           args.imagePrefix, args.limit};
      db.Select(filter, rows, error);
    }
  }
  if (!error.empty()) {
    out.Error("fwupdate: the history cannot be read: " + error);
    events.End("history", exitcode::kHistoryUnavailable);
    return exitcode::kHistoryUnavailable;
  }
  if (args.json)
    WriteOutput(stdout, HistoryJson(rows, db.SchemaVersion()));
  else if (args.csv)
    WriteOutput(stdout, HistoryCsv(rows));
  else if (rows.empty())
    out.Print("No attempts recorded" + std::string(args.since.empty() && args.ports.empty() &&
                                                           args.outcome.empty() &&
                                                           args.imagePrefix.empty()
                                                       ? "."
                                                       : " that match."));
  else
    WriteOutput(stdout, HistoryTable(rows));
  return exitcode::kDone;
}
