#include "cli/json/JsonEvents.h"

#include <cstdio>

#include "cli/platform/OutputStream.h"
#include "cli/platform/UtcTime.h"
#include "cli/texts/ConsoleTexts.h"

CJsonEvents::CJsonEvents(bool on, std::function<std::int64_t()> wallMs)
    : m_on(on), m_wallMs(wallMs ? std::move(wallMs) : WallClockMs) {}

CJsonObject CJsonEvents::Event(const char* name, const std::string* port) {
  CJsonObject object;
  object.Number("schema", kJsonSchema).Text("event", name).Text("time", IsoUtc(m_wallMs()));
  if (port) {
    object.Text("port", *port);
    std::lock_guard<std::mutex> lock(m_unitsMutex);
    const auto unit = m_units.find(*port);
    if (unit != m_units.end()) object.Number("unit", unit->second);
  }
  return object;
}

void CJsonEvents::SetUnit(const std::string& port, int unit) {
  std::lock_guard<std::mutex> lock(m_unitsMutex);
  m_units[port] = unit;
}

void CJsonEvents::Totals(int passed, int failed, int skipped) {
  if (!m_on) return;
  CJsonObject object = Event("totals");
  object.Number("passed", passed).Number("failed", failed).Number("skipped", skipped);
  Write(object);
}

void CJsonEvents::Write(const CJsonObject& object) {
  const std::string line = object.Line() + "\n";
  std::lock_guard<std::mutex> lock(m_mutex);
  WriteOutput(stdout, line);
}

void CJsonEvents::PortFound(const std::string& port, const std::string& stableName) {
  if (!m_on) return;
  CJsonObject object = Event("port_found", &port);
  if (!stableName.empty()) object.Text("stable_name", stableName);
  Write(object);
}

void CJsonEvents::PortChecked(const std::string& port, const char* result) {
  if (!m_on) return;
  CJsonObject object = Event("port_checked", &port);
  object.Text("result", result);
  Write(object);
}

void CJsonEvents::Versions(const std::string& port, const char* source,
                           const FirmwareVersionInfo& r) {
  if (!m_on) return;
  CJsonObject object = Event("versions", &port);
  object.Text("source", source)
      .Text("controller_version", r.controllerVersion)
      .Text("controller_date", r.controllerDate)
      .Text("dsp_version", r.dspVersion)
      .Text("dsp_date", r.dspDate)
      .Bool("complete", r.IsComplete());
  Write(object);
}

void CJsonEvents::Consent(const std::string& port, bool yes, bool byOption) {
  if (!m_on) return;
  CJsonObject object = Event("consent", &port);
  object.Bool("yes", yes).Text("by", byOption ? "option" : "user");
  Write(object);
}

void CJsonEvents::Phase(const std::string& port, ProgressPhase phase, std::uint32_t total) {
  if (!m_on) return;
  CJsonObject object = Event("phase", &port);
  object.Text("phase", PhaseKey(phase)).Number("total", total);
  Write(object);
}

void CJsonEvents::Progress(const std::string& port, ProgressPhase phase, std::uint32_t done,
                           std::uint32_t total) {
  if (!m_on) return;
  CJsonObject object = Event("progress", &port);
  object.Text("phase", PhaseKey(phase)).Number("done", done).Number("total", total);
  Write(object);
}

void CJsonEvents::Start(const char* command, const ImageFacts& image) {
  if (!m_on) return;
  CJsonObject object = Event("start");
  object.Text("command", command).Text("image", image.path);
  if (image.read)
    object.Number("image_size", static_cast<std::int64_t>(image.size))
        .Text("image_sha256", image.sha256);
  Write(object);
}

void CJsonEvents::Warning(const char* about, const std::string& message) {
  if (!m_on) return;
  CJsonObject object = Event("warning");
  object.Text("about", about).Text("message", message);
  Write(object);
}

void CJsonEvents::PortDone(const std::string& port, const UpgradeOutcome& outcome,
                           const AttemptFigures& figures) {
  if (!m_on) return;
  const OutcomeRow& row = OutcomeOf(outcome.result);
  CJsonObject object = Event("port_done", &port);
  object.Text("outcome", row.key)
      .Number("exit_status", row.exitStatus)
      .Text("message_id", row.messageKey)
      .Text("message", ConsoleOutcomeText(outcome))
      .Number("bytes_sent", outcome.bytesSent)
      .Text("flash_state", FlashStateOf(row.flash).key)
      .Text("phase_reached", AttemptPhaseKey(figures.reached));
  for (int i = 0; i < kAttemptPhaseCount; ++i) {
    const std::string key = std::string(kAttemptPhaseKeys[i]) + "_ms";
    object.Number(key.c_str(),
                  static_cast<std::int64_t>(figures.phaseMs[static_cast<std::size_t>(i)]));
  }
  if (figures.historyId > 0) object.Number("history_id", figures.historyId);
  Write(object);
}

void CJsonEvents::End(const char* command, int status, const std::string& error) {
  if (!m_on) return;
  CJsonObject object = Event("end");
  object.Text("command", command).Number("exit_status", status);
  if (!error.empty()) object.Text("error", error);
  Write(object);
}
