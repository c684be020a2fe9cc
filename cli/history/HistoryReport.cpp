#include "cli/history/HistoryReport.h"

#include <algorithm>

#include "cli/json/Json.h"

namespace {

std::string Shown(const HistoryValue& value) {
  switch (value.kind) {
    case HistoryValue::Kind::kNull:
      return "";
    case HistoryValue::Kind::kNumber:
      return std::to_string(value.number);
    case HistoryValue::Kind::kText:
      return value.text;
  }
  return "";
}

std::string Column(const HistoryRow& row, const char* name) {
  for (const HistoryField& field : row)
    if (field.name == name) return Shown(field.value);
  return "";
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string out = "\"";
  for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

}  // namespace

std::string HistoryJson(const std::vector<HistoryRow>& rows, int schema) {
  std::string out;
  for (const HistoryRow& row : rows) {
    CJsonObject object;
    object.Number("history_schema", schema);
    for (const HistoryField& field : row) {
      if (field.value.kind == HistoryValue::Kind::kNumber)
        object.Number(field.name.c_str(), field.value.number);
      else if (field.value.kind == HistoryValue::Kind::kText)
        object.Text(field.name.c_str(), field.value.text);
    }
    out += object.Line() + "\n";
  }
  return out;
}

std::string HistoryCsv(const std::vector<HistoryRow>& rows) {
  if (rows.empty()) return "";
  std::string out;
  for (std::size_t i = 0; i < rows.front().size(); ++i)
    out += (i ? "," : "") + CsvField(rows.front()[i].name);
  out += "\r\n";
  for (const HistoryRow& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i)
      out += (i ? "," : "") + CsvField(Shown(row[i].value));
    out += "\r\n";
  }
  return out;
}

std::string HistoryTable(const std::vector<HistoryRow>& rows) {
  const std::vector<std::string> heads = {"ID",    "STARTED (UTC)", "PORT",  "RESULT", "FLASH",
                                          "BYTES", "BEFORE",        "IMAGE", "STATION"};
  std::vector<std::vector<std::string>> cells;
  for (const HistoryRow& row : rows) {
    std::string started = Column(row, "started_at");
    std::replace(started.begin(), started.end(), 'T', ' ');
    started = started.substr(0, 19);
    // An attempt without an end says how it stands instead, with the phase it reached.
    std::string result = Column(row, "outcome");
    if (result.empty()) result = Column(row, "state") + " (" + Column(row, "phase") + ")";
    if (Column(row, "mode") == "dry_run") result += " (dry run)";
    cells.push_back({Column(row, "id"), started, Column(row, "port"), result,
                     Column(row, "flash_state"), Column(row, "bytes_taken"),
                     Column(row, "modem_controller_version"),
                     Column(row, "image_sha256").substr(0, 12), Column(row, "station")});
  }
  std::vector<std::size_t> width(heads.size());
  for (std::size_t c = 0; c < heads.size(); ++c) {
    width[c] = heads[c].size();
    for (const auto& line : cells) width[c] = std::max(width[c], line[c].size());
  }
  auto render = [&](const std::vector<std::string>& line) {
    std::string out;
    for (std::size_t c = 0; c < line.size(); ++c) {
      std::string cell = line[c].empty() ? "-" : line[c];
      if (c + 1 < line.size()) cell.resize(width[c] + 2, ' ');
      out += cell;
    }
    return out + "\n";
  };
  std::string out = render(heads);
  for (const auto& line : cells) out += render(line);
  return out;
}
