#include "cli/history/HistoryDb.h"

#include <sqlite3.h>

namespace {

// Each step brings a file from the version before it to its own.
const char* const kMigrations[kHistorySchema] = {
    // 1: the attempts.
    "CREATE TABLE attempts ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " started_at TEXT NOT NULL, ended_at TEXT,"
    " state TEXT NOT NULL,"  // running, ended, interrupted
    " phase TEXT NOT NULL,"  // the last reached: query, consent, erase, transfer, final
    " host TEXT NOT NULL, boot_id TEXT, pid INTEGER NOT NULL, program_version TEXT NOT NULL,"
    " command TEXT NOT NULL, mode TEXT NOT NULL,"  // mode: update, dry_run, skip_current
    " station TEXT, operator TEXT, lot TEXT, unit_id TEXT,"
    " port TEXT NOT NULL, stable_name TEXT, identity TEXT, serial_number TEXT,"
    " modem_controller_version TEXT, modem_controller_date TEXT,"
    " modem_dsp_version TEXT, modem_dsp_date TEXT,"
    " image_path TEXT, image_size INTEGER, image_sha256 TEXT,"
    " image_controller_version TEXT, image_controller_date TEXT,"
    " image_dsp_version TEXT, image_dsp_date TEXT,"
    " outcome TEXT, exit_status INTEGER, flash_state TEXT, bytes_taken INTEGER,"
    " query_ms INTEGER, consent_ms INTEGER, erase_ms INTEGER, transfer_ms INTEGER,"
    " final_ms INTEGER);"
    "CREATE INDEX attempts_started ON attempts (started_at);",
    // 2: a station's unit number within its run; rows found by their image.
    "ALTER TABLE attempts ADD COLUMN unit_number INTEGER;"
    "CREATE INDEX attempts_image ON attempts (image_sha256);",
};

// A statement, finalized on every way out.
class CStatement {
 public:
  CStatement(sqlite3* db, const char* sql) {
    m_ok = sqlite3_prepare_v2(db, sql, -1, &m_s, nullptr) == SQLITE_OK;
  }
  ~CStatement() { sqlite3_finalize(m_s); }
  CStatement(const CStatement&) = delete;
  CStatement& operator=(const CStatement&) = delete;
  bool Ok() const { return m_ok; }
  sqlite3_stmt* Get() const { return m_s; }

  bool Bind(const HistoryField& field) {
    const int at = sqlite3_bind_parameter_index(m_s, field.name.c_str());
    if (at == 0) return false;
    switch (field.value.kind) {
      case HistoryValue::Kind::kNull:
        return sqlite3_bind_null(m_s, at) == SQLITE_OK;
      case HistoryValue::Kind::kNumber:
        return sqlite3_bind_int64(m_s, at, field.value.number) == SQLITE_OK;
      case HistoryValue::Kind::kText:
        return sqlite3_bind_text(m_s, at, field.value.text.data(),
                                 static_cast<int>(field.value.text.size()),
                                 SQLITE_TRANSIENT) == SQLITE_OK;
    }
    return false;
  }

 private:
  sqlite3_stmt* m_s = nullptr;
  bool m_ok = false;
};

int UserVersion(sqlite3* db) {
  CStatement read(db, "PRAGMA user_version");
  return read.Ok() && sqlite3_step(read.Get()) == SQLITE_ROW ? sqlite3_column_int(read.Get(), 0)
                                                             : -1;
}

}  // namespace

CHistoryDb::~CHistoryDb() { sqlite3_close(m_db); }

std::string CHistoryDb::Failure(const std::string& what) const {
  return m_path + ": " + what + ": " + (m_db ? sqlite3_errmsg(m_db) : "out of memory");
}

bool CHistoryDb::Open(const std::string& path, Mode mode, std::string& error) {
  m_path = path;
  const int flags = mode == Mode::kRead    ? SQLITE_OPEN_READONLY
                    : mode == Mode::kWrite ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE
                                           : SQLITE_OPEN_READWRITE;
  if (sqlite3_open_v2(path.c_str(), &m_db, flags | SQLITE_OPEN_FULLMUTEX, nullptr) != SQLITE_OK) {
    error = Failure("cannot be opened");
    return false;
  }
  // Another fwupdate writing at the same moment is waited for, not failed.
  sqlite3_busy_timeout(m_db, 10000);
  m_schema = UserVersion(m_db);
  if (m_schema < 0) {
    error = Failure("is no history database");
    return false;
  }
  if (mode == Mode::kRead) return true;
  if (m_schema > kHistorySchema) {
    error = m_path + ": written by a newer fwupdate (history schema " + std::to_string(m_schema) +
            ", this one knows " + std::to_string(kHistorySchema) +
            "); it is not written. Use a newer fwupdate, or --history FILE for another file";
    return false;
  }
  if (sqlite3_exec(m_db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr) != SQLITE_OK) {
    error = Failure("cannot be written");
    return false;
  }
  return Migrate(error);
}

bool CHistoryDb::Migrate(std::string& error) {
  if (m_schema == kHistorySchema) return true;
  // One writer brings the file forward; another that waited finds it done.
  if (sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
    error = Failure("cannot be written");
    return false;
  }
  m_schema = UserVersion(m_db);
  for (; m_schema < kHistorySchema; ++m_schema) {
    const std::string step = std::string(kMigrations[m_schema]) +
                             "PRAGMA user_version = " + std::to_string(m_schema + 1) + ";";
    if (sqlite3_exec(m_db, step.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
      error = Failure("cannot be brought to schema " + std::to_string(m_schema + 1));
      sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
      return false;
    }
  }
  if (sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
    error = Failure("cannot be written");
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
  }
  return true;
}

bool CHistoryDb::Execute(const char* sql, const std::vector<HistoryField>& values,
                         std::string& error, std::int64_t* insertedId) {
  CStatement statement(m_db, sql);
  bool ok = statement.Ok();
  for (const HistoryField& field : values) ok = ok && statement.Bind(field);
  ok = ok && sqlite3_step(statement.Get()) == SQLITE_DONE;
  if (!ok) {
    error = Failure("cannot be written");
    return false;
  }
  if (insertedId) *insertedId = sqlite3_last_insert_rowid(m_db);
  return true;
}

bool CHistoryDb::MarkInterrupted(const std::string& host, const std::string& bootId,
                                 bool (*alive)(long), std::string& error) {
  std::vector<std::int64_t> gone;
  {
    CStatement running(m_db,
                       "SELECT id, pid, boot_id FROM attempts "
                       "WHERE state = 'running' AND host = :host");
    if (!running.Ok() || !running.Bind({":host", HistoryValue::Text(host)})) {
      error = Failure("cannot be read");
      return false;
    }
    while (sqlite3_step(running.Get()) == SQLITE_ROW) {
      const auto* boot = reinterpret_cast<const char*>(sqlite3_column_text(running.Get(), 2));
      const bool sameBoot = bootId == (boot ? boot : "");
      if (!sameBoot || !alive(static_cast<long>(sqlite3_column_int64(running.Get(), 1))))
        gone.push_back(sqlite3_column_int64(running.Get(), 0));
    }
  }
  for (std::int64_t id : gone)
    if (!Execute("UPDATE attempts SET state = 'interrupted' WHERE id = :id AND state = 'running'",
                 {{":id", HistoryValue::Number(id)}}, error))
      return false;
  return true;
}

bool CHistoryDb::Select(const HistoryFilter& filter, std::vector<HistoryRow>& rows,
                        std::string& error) {
  std::string sql = "SELECT * FROM attempts WHERE 1";
  std::vector<HistoryField> values;
  if (!filter.since.empty()) {
    sql += " AND started_at >= :since";
    values.push_back({":since", HistoryValue::Text(filter.since)});
  }
  if (!filter.port.empty()) {
    sql += " AND (port = :port OR stable_name = :port)";
    values.push_back({":port", HistoryValue::Text(filter.port)});
  }
  if (!filter.outcome.empty()) {
    // A row that never ended has no outcome yet: its state says how it stands.
    sql += " AND (outcome = :outcome OR (outcome IS NULL AND state = :outcome))";
    values.push_back({":outcome", HistoryValue::Text(filter.outcome)});
  }
  if (!filter.imagePrefix.empty()) {
    sql += " AND substr(image_sha256, 1, length(:image)) = lower(:image)";
    values.push_back({":image", HistoryValue::Text(filter.imagePrefix)});
  }
  sql += " ORDER BY started_at DESC, id DESC";
  if (filter.limit > 0) sql += " LIMIT " + std::to_string(filter.limit);

  CStatement select(m_db, sql.c_str());
  bool ok = select.Ok();
  for (const HistoryField& field : values) ok = ok && select.Bind(field);
  if (!ok) {
    error = Failure("cannot be read");
    return false;
  }
  int step;
  while ((step = sqlite3_step(select.Get())) == SQLITE_ROW) {
    HistoryRow row;
    for (int c = 0; c < sqlite3_column_count(select.Get()); ++c) {
      HistoryField field{sqlite3_column_name(select.Get(), c), {}};
      switch (sqlite3_column_type(select.Get(), c)) {
        case SQLITE_NULL:
          break;
        case SQLITE_INTEGER:
          field.value = HistoryValue::Number(sqlite3_column_int64(select.Get(), c));
          break;
        default:
          field.value.kind = HistoryValue::Kind::kText;
          field.value.text = reinterpret_cast<const char*>(sqlite3_column_text(select.Get(), c));
          break;
      }
      row.push_back(field);
    }
    rows.push_back(row);
  }
  if (step != SQLITE_DONE) {
    error = Failure("cannot be read");
    return false;
  }
  return true;
}
