// The history file over time: a file of the first schema brought forward, runs that died
// marked, a newer file left alone; the rows as people and machines read them; the digest
// and the times the rows carry.

#include <gtest/gtest.h>

#include <fstream>

#include "cli/history/HistoryDb.h"
#include "cli/history/HistoryReport.h"
#include "cli/platform/UtcTime.h"
#include "image/Sha256.h"
#include "tests/support/TempDir.h"

namespace {

// The file a build of the first schema wrote: a batch of two on host "vm" (one done, one
// never READY), then a run killed with SIGKILL in its transfer (row 3, still "running").
const std::string kSchema1 = std::string(FW_TEST_DATA_DIR) + "/history-schema1.db";
const char kItsBoot[] = "cfccb973-9762-4adb-ac6f-2d6e8cefca12";

std::string CopyOfSchema1(const TempDir& dir) {
  const std::string path = dir.Path() + "/history.db";
  std::ofstream(path, std::ios::binary) << std::ifstream(kSchema1, std::ios::binary).rdbuf();
  return path;
}

std::string Column(const HistoryRow& row, const std::string& name) {
  for (const HistoryField& f : row)
    if (f.name == name)
      return f.value.kind == HistoryValue::Kind::kNumber ? std::to_string(f.value.number)
                                                         : f.value.text;
  return "(none)";
}

}  // namespace

TEST(History, AFileOfTheFirstSchemaIsBroughtForwardAndItsDeadRunMarked) {
  const struct {
    const char* name;
    const char* host;
    const char* boot;
    bool alive;
    const char* row3;  // its state afterwards
  } cases[] = {
      {"its process is gone", "vm", kItsBoot, false, "interrupted"},
      {"another boot", "vm", "another-boot", true, "interrupted"},
      {"its process still runs", "vm", kItsBoot, true, "running"},
      {"another host's row is not judged here", "station-2", "x", false, "running"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    CHistoryDb db;
    std::string error;
    ASSERT_TRUE(db.Open(CopyOfSchema1(dir), CHistoryDb::Mode::kWrite, error)) << error;
    EXPECT_EQ(db.SchemaVersion(), kHistorySchema);
    bool (*alive)(long) = c.alive ? +[](long) { return true; } : +[](long) { return false; };
    ASSERT_TRUE(db.MarkInterrupted(c.host, c.boot, alive, error)) << error;
    std::vector<HistoryRow> rows;
    ASSERT_TRUE(db.Select({}, rows, error)) << error;
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(Column(rows[0], "state"), c.row3);
    EXPECT_EQ(Column(rows[0], "phase"), "transfer");
    EXPECT_EQ(Column(rows[0], "unit_id"), "SN-7");
    EXPECT_EQ(Column(rows[0], "unit_number"), "");  // the column schema 2 added, empty
    // Filters: by outcome (or the state of a row without one), image prefix, limit.
    rows.clear();
    ASSERT_TRUE(db.Select({"", "", "not_ready", "", 0}, rows, error));
    EXPECT_EQ(rows.size(), 1u);
    rows.clear();
    ASSERT_TRUE(db.Select({"", "", c.row3, "", 0}, rows, error));
    EXPECT_EQ(rows.size(), 1u);
    rows.clear();
    ASSERT_TRUE(db.Select({"2026-12-08T08:47:30", "", "", "AA2B59", 1}, rows, error));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(Column(rows[0], "id"), "3");
  }
}

TEST(History, AFileOfANewerSchemaIsReadButNotWritten) {
  TempDir dir;
  const std::string path = CopyOfSchema1(dir);
  std::string error;
  {
    CHistoryDb db;
    ASSERT_TRUE(db.Open(path, CHistoryDb::Mode::kWrite, error)) << error;
    ASSERT_TRUE(db.Execute("PRAGMA user_version = 99", {}, error)) << error;
  }
  CHistoryDb writer, reader;
  EXPECT_FALSE(writer.Open(path, CHistoryDb::Mode::kWrite, error));
  EXPECT_NE(error.find("newer fwupdate (history schema 99, this one knows 2)"), std::string::npos)
      << error;
  error.clear();
  ASSERT_TRUE(reader.Open(path, CHistoryDb::Mode::kRead, error)) << error;
  std::vector<HistoryRow> rows;
  EXPECT_TRUE(reader.Select({}, rows, error));
  EXPECT_EQ(rows.size(), 3u);
}

TEST(History, RowsAsCsvJsonAndATable) {
  const HistoryRow row = {{"id", HistoryValue::Number(7)},
                          {"started_at", HistoryValue::Text("2026-12-08T09:01:02.345Z")},
                          {"port", HistoryValue::Text("/dev/ttyUSB0")},
                          {"station", HistoryValue::Text("line \"A\", bay 2")},
                          {"outcome", HistoryValue()},
                          {"state", HistoryValue::Text("interrupted")},
                          {"phase", HistoryValue::Text("erase")}};
  EXPECT_EQ(HistoryCsv({row}),
            "id,started_at,port,station,outcome,state,phase\r\n"
            "7,2026-12-08T09:01:02.345Z,/dev/ttyUSB0,\"line \"\"A\"\", bay 2\",,interrupted,"
            "erase\r\n");
  EXPECT_EQ(HistoryJson({row}, 2),
            "{\"history_schema\":2,\"id\":7,\"started_at\":\"2026-12-08T09:01:02.345Z\","
            "\"port\":\"/dev/ttyUSB0\",\"station\":\"line \\\"A\\\", bay 2\","
            "\"state\":\"interrupted\",\"phase\":\"erase\"}\n");
  const std::string table = HistoryTable({row});
  EXPECT_NE(table.find("2026-12-08 09:01:02  /dev/ttyUSB0  interrupted (erase)"), std::string::npos)
      << table;
}

TEST(History, DigestsAndTimes) {
  const struct {
    std::string bytes;
    const char* sha256;
  } digests[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      // 56 bytes: the length no longer fits the first block's end.
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000, 'a'), "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3"},
  };
  for (const auto& d : digests) {
    CSha256 sha;
    sha.Update(d.bytes.data(), d.bytes.size());
    EXPECT_EQ(sha.HexDigest(), d.sha256) << d.bytes.size();
  }
  const struct {
    std::int64_t ms;
    const char* iso;
  } times[] = {
      {0, "1970-01-01T00:00:00.000Z"},
      {951782400000 + 86399999, "2000-02-29T23:59:59.999Z"},
      {1796720701042, "2026-12-08T09:05:01.042Z"},
  };
  for (const auto& t : times) EXPECT_EQ(IsoUtc(t.ms), t.iso);
}
