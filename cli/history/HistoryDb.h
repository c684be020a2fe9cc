#pragma once
// The history database: SQLite, one table of attempts, a row per port per attempt. The file
// carries its schema's version (PRAGMA user_version) and is brought forward when opened;
// WAL and a busy timeout let two fwupdate processes of one station share it.

#include <cstdint>
#include <string>
#include <vector>

struct sqlite3;

// The schema this program writes; a file of a newer one is only read.
constexpr int kHistorySchema = 2;

// A value of a row: a text, a number, or nothing (SQL NULL).
struct HistoryValue {
  enum class Kind { kNull, kNumber, kText } kind = Kind::kNull;
  std::int64_t number = 0;
  std::string text;

  static HistoryValue Number(std::int64_t value) {
    HistoryValue v;
    v.kind = Kind::kNumber;
    v.number = value;
    return v;
  }
  // An empty text is stored as nothing, so that "not given" reads the same everywhere.
  static HistoryValue Text(const std::string& value) {
    HistoryValue v;
    if (value.empty()) return v;
    v.kind = Kind::kText;
    v.text = value;
    return v;
  }
};
// A named value of a statement (":port") or a column of a row read back ("port").
struct HistoryField {
  std::string name;
  HistoryValue value;
};
using HistoryRow = std::vector<HistoryField>;

// Which rows `fwupdate history` prints; empty fields choose all.
struct HistoryFilter {
  std::string since;        // started at or after this ISO date or time (UTC)
  std::string port;         // the port as named, or its stable name
  std::string outcome;      // an outcome key, or "interrupted" / "running"
  std::string imagePrefix;  // the start of the image's SHA-256
  int limit = 0;            // at most this many, newest first; 0: all
};

class CHistoryDb {
 public:
  enum class Mode {
    kWrite,   // created with its folder when missing; refused when its schema is newer
    kUpdate,  // as kWrite, but never created
    kRead,    // read only, as it is
  };
  CHistoryDb() = default;
  CHistoryDb(const CHistoryDb&) = delete;
  CHistoryDb& operator=(const CHistoryDb&) = delete;
  ~CHistoryDb();

  // False with a reason in `error` that names the file.
  bool Open(const std::string& path, Mode mode, std::string& error);
  int SchemaVersion() const { return m_schema; }
  // Rows of this host still "running" whose process is gone (another boot, or no such pid
  // now) become "interrupted", at the phase they had reached.
  bool MarkInterrupted(const std::string& host, const std::string& bootId, bool (*alive)(long),
                       std::string& error);
  // One statement with its named values; `insertedId` (when given) gets the new row's id.
  bool Execute(const char* sql, const std::vector<HistoryField>& values, std::string& error,
               std::int64_t* insertedId = nullptr);
  // The rows `filter` chooses, newest first, every column by its name.
  bool Select(const HistoryFilter& filter, std::vector<HistoryRow>& rows, std::string& error);

 private:
  bool Migrate(std::string& error);
  std::string Failure(const std::string& what) const;  // "PATH: what: SQLite's reason"

  sqlite3* m_db = nullptr;
  std::string m_path;
  int m_schema = 0;
};
