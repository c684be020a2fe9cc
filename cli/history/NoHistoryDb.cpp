// The history where this build has no SQLite (the Windows console program): every open
// says so, and an upgrade goes on without rows.

#include "cli/history/HistoryDb.h"

namespace {
constexpr char kNoSqlite[] = "this build of fwupdate keeps no history: it was built without SQLite";
}

CHistoryDb::~CHistoryDb() = default;

bool CHistoryDb::Open(const std::string& path, Mode, std::string& error) {
  error = path + ": " + kNoSqlite;
  return false;
}

bool CHistoryDb::MarkInterrupted(const std::string&, const std::string&, bool (*)(long),
                                 std::string& error) {
  error = kNoSqlite;
  return false;
}

bool CHistoryDb::Execute(const char*, const std::vector<HistoryField>&, std::string& error,
                         std::int64_t*) {
  error = kNoSqlite;
  return false;
}

bool CHistoryDb::Select(const HistoryFilter&, std::vector<HistoryRow>&, std::string& error) {
  error = kNoSqlite;
  return false;
}
