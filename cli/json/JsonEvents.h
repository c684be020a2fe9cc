#pragma once
// --json: fwupdate's events as JSON Lines on stdout, one object each, every object with the
// schema's version. Off, every call does nothing. Safe to call from several threads: each
// line goes out whole.

#include <cstdint>
#include <mutex>
#include <string>

#include "cli/json/Json.h"
#include "modem/Outcomes.h"
#include "modem/ProgressView.h"
#include "record/FirmwareVersionInfo.h"

constexpr int kJsonSchema = 1;

class CJsonEvents {
 public:
  explicit CJsonEvents(bool on) : m_on(on) {}
  bool On() const { return m_on; }

  // `stableName`, when not empty, adds the field "stable_name".
  void PortFound(const std::string& port, const std::string& stableName);
  // find: a port looked at, and how that ended (cli/texts' PortCheckKey).
  void PortChecked(const std::string& port, const char* result);
  // `source`: "modem" or "image".
  void Versions(const std::string& port, const char* source, const FirmwareVersionInfo& record);
  void Consent(const std::string& port, bool yes, bool byOption);
  void Phase(const std::string& port, ProgressPhase phase, std::uint32_t total);
  void Progress(const std::string& port, ProgressPhase phase, std::uint32_t done,
                std::uint32_t total);
  void PortDone(const std::string& port, const UpgradeOutcome& outcome);
  // The command's end, with its exit status; `error` (a bad command line's reason) adds the
  // field "error". `command` is "" when the command line named none.
  void End(const char* command, int status, const std::string& error = std::string());

 private:
  CJsonObject Event(const char* name, const std::string* port = nullptr) const;
  void Write(const CJsonObject& object);

  bool m_on;
  std::mutex m_mutex;
};
