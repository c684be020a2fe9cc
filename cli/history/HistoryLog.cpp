#include "cli/history/HistoryLog.h"

#include "cli/platform/UtcTime.h"

namespace {

using V = HistoryValue;

// The four fields of a version record, as the columns PREFIX_controller_version...
void AddRecord(std::vector<HistoryField>& values, const std::string& prefix,
               const FirmwareVersionInfo& record) {
  values.push_back({":" + prefix + "_controller_version", V::Text(record.controllerVersion)});
  values.push_back({":" + prefix + "_controller_date", V::Text(record.controllerDate)});
  values.push_back({":" + prefix + "_dsp_version", V::Text(record.dspVersion)});
  values.push_back({":" + prefix + "_dsp_date", V::Text(record.dspDate)});
}

// A unit's answer as a row keeps it: without the blank lines around it and the OK after it.
std::string UnitAnswer(const std::string& raw) {
  std::string text = raw;
  auto trim = [&text] {
    const std::size_t first = text.find_first_not_of("\r\n ");
    const std::size_t last = text.find_last_not_of("\r\n ");
    text = first == std::string::npos ? "" : text.substr(first, last - first + 1);
  };
  trim();
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, "OK") == 0 &&
      (text.size() == 2 || text[text.size() - 3] == '\n')) {
    text.erase(text.size() - 2);
    trim();
  }
  return text;
}

constexpr char kSetModem[] =
    "modem_controller_version = :modem_controller_version, "
    "modem_controller_date = :modem_controller_date, modem_dsp_version = :modem_dsp_version, "
    "modem_dsp_date = :modem_dsp_date";

}  // namespace

CHistoryLog::CHistoryLog(CHistoryDb& db, HistoryRun run,
                         std::function<std::string(const ConsolePort&)> stableName,
                         std::function<std::int64_t()> wallMs,
                         std::function<void(const std::string&)> warn)
    : m_db(db),
      m_run(std::move(run)),
      m_stableName(std::move(stableName)),
      m_wallMs(std::move(wallMs)),
      m_warn(std::move(warn)) {}

std::string CHistoryLog::Now() const { return IsoUtc(m_wallMs()); }

void CHistoryLog::Write(const char* sql, const std::vector<HistoryField>& values,
                        std::int64_t* insertedId) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_failed) return;
  std::string error;
  if (m_db.Execute(sql, values, error, insertedId)) return;
  m_failed = true;
  if (insertedId) *insertedId = 0;
  m_warn(error);
}

std::int64_t CHistoryLog::Begin(const ConsolePort& port, const ImageFacts& image, int unit) {
  std::vector<HistoryField> values = {
      {":started_at", V::Text(Now())},
      {":phase", V::Text(AttemptPhaseKey(AttemptPhase::kQuery))},
      {":host", V::Text(m_run.host.empty() ? "?" : m_run.host)},
      {":boot_id", V::Text(m_run.bootId)},
      {":pid", V::Number(m_run.pid)},
      {":program_version", V::Text(m_run.programVersion)},
      {":command", V::Text(m_run.command)},
      {":mode", V::Text(m_run.mode)},
      {":station", V::Text(m_run.station)},
      {":operator", V::Text(m_run.operatorName)},
      {":lot", V::Text(m_run.lot)},
      {":unit_id", V::Text(m_run.unitId)},
      {":port", V::Text(port.name)},
      {":stable_name", V::Text(m_stableName ? m_stableName(port) : std::string())},
      {":image_path", V::Text(m_run.imagePath.empty() ? image.path : m_run.imagePath)},
      {":image_size", image.read ? V::Number(static_cast<std::int64_t>(image.size)) : V()},
      {":image_sha256", V::Text(image.sha256)},
      {":flash_state", V::Text(FlashStateOf(FlashState::kUntouched).key)},
      {":unit_number", unit > 0 ? V::Number(unit) : V()},
  };
  AddRecord(values, "image", image.record);
  std::int64_t id = 0;
  Write(
      "INSERT INTO attempts (started_at, state, phase, host, boot_id, pid, program_version, "
      "command, mode, station, operator, lot, unit_id, port, stable_name, image_path, "
      "image_size, image_sha256, image_controller_version, image_controller_date, "
      "image_dsp_version, image_dsp_date, flash_state, unit_number) VALUES (:started_at, "
      "'running', :phase, "
      ":host, :boot_id, :pid, :program_version, :command, :mode, :station, :operator, :lot, "
      ":unit_id, :port, :stable_name, :image_path, :image_size, :image_sha256, "
      ":image_controller_version, :image_controller_date, :image_dsp_version, "
      ":image_dsp_date, :flash_state, :unit_number)",
      values, &id);
  return id;
}

void CHistoryLog::Reached(std::int64_t id, AttemptPhase phase, const FirmwareVersionInfo* modem) {
  if (id == 0) return;
  std::vector<HistoryField> values = {{":id", V::Number(id)},
                                      {":phase", V::Text(AttemptPhaseKey(phase))}};
  if (!modem) {
    Write("UPDATE attempts SET phase = :phase WHERE id = :id", values);
    return;
  }
  AddRecord(values, "modem", *modem);
  Write(
      (std::string("UPDATE attempts SET phase = :phase, ") + kSetModem + " WHERE id = :id").c_str(),
      values);
}

void CHistoryLog::FlashNow(std::int64_t id, FlashState state) {
  if (id == 0) return;
  Write("UPDATE attempts SET flash_state = :flash_state WHERE id = :id",
        {{":id", V::Number(id)}, {":flash_state", V::Text(FlashStateOf(state).key)}});
}

void CHistoryLog::Finish(std::int64_t id, const UpgradeOutcome& outcome,
                         const AttemptFigures& figures) {
  if (id == 0) return;
  const OutcomeRow& row = OutcomeOf(outcome.result);
  std::vector<HistoryField> values = {
      {":id", V::Number(id)},
      {":ended_at", V::Text(Now())},
      {":phase", V::Text(AttemptPhaseKey(figures.reached))},
      {":outcome", V::Text(row.key)},
      {":exit_status", V::Number(row.exitStatus)},
      {":flash_state", V::Text(FlashStateOf(row.flash).key)},
      {":bytes_taken", V::Number(outcome.bytesSent)},
      {":identity", V::Text(UnitAnswer(outcome.identity))},
      {":serial_number", V::Text(UnitAnswer(outcome.serialNumber))},
  };
  std::string sql =
      "UPDATE attempts SET ended_at = :ended_at, state = 'ended', phase = :phase, "
      "outcome = :outcome, exit_status = :exit_status, flash_state = :flash_state, "
      "bytes_taken = :bytes_taken, identity = :identity, serial_number = :serial_number";
  for (int i = 0; i < kAttemptPhaseCount; ++i) {
    const std::string column = std::string(kAttemptPhaseKeys[i]) + "_ms";
    sql += ", " + column + " = :" + column;
    values.push_back({":" + column, V::Number(static_cast<std::int64_t>(
                                        figures.phaseMs[static_cast<std::size_t>(i)]))});
  }
  // The modem's record as read, when it was (a modem left alone, a dry run).
  if (outcome.modem.controllerVersion[0] || outcome.modem.dspVersion[0]) {
    sql += std::string(", ") + kSetModem;
    AddRecord(values, "modem", outcome.modem);
  }
  Write((sql + " WHERE id = :id").c_str(), values);
}
