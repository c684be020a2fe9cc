#include "cli/json/JsonEvents.h"

#include <cstdio>

#include "cli/platform/OutputStream.h"
#include "cli/texts/ConsoleTexts.h"

CJsonObject CJsonEvents::Event(const char* name, const std::string* port) const {
  CJsonObject object;
  object.Number("schema", kJsonSchema).Text("event", name);
  if (port) object.Text("port", *port);
  return object;
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

void CJsonEvents::PortDone(const std::string& port, const UpgradeOutcome& outcome) {
  if (!m_on) return;
  const OutcomeRow& row = OutcomeOf(outcome.result);
  CJsonObject object = Event("port_done", &port);
  object.Text("outcome", row.key)
      .Number("exit_status", row.exitStatus)
      .Text("message_id", row.messageKey)
      .Text("message", ConsoleOutcomeText(outcome))
      .Number("bytes_sent", outcome.bytesSent)
      .Text("flash_state", FlashStateOf(row.flash).key);
  Write(object);
}

void CJsonEvents::End(const char* command, int status, const std::string& error) {
  if (!m_on) return;
  CJsonObject object = Event("end");
  object.Text("command", command).Number("exit_status", status);
  if (!error.empty()) object.Text("error", error);
  Write(object);
}
