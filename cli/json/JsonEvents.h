#pragma once
// --json: fwupdate's events as JSON Lines on stdout, one object each, every object with the
// schema's version and its time (UTC, ISO 8601 with milliseconds). Off, every call does
// nothing. Fields are only ever added: a reader of schema 1 keeps working. Safe to call from
// several threads: each line goes out whole.

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "cli/json/Json.h"
#include "cli/texts/AttemptPhases.h"
#include "image/ImageDigest.h"
#include "modem/Outcomes.h"
#include "modem/ProgressView.h"
#include "record/FirmwareVersionInfo.h"

constexpr int kJsonSchema = 1;

class CJsonEvents {
 public:
  // `wallMs`: the clock of the events' times (milliseconds since 1970, UTC).
  explicit CJsonEvents(bool on, std::function<std::int64_t()> wallMs = nullptr);
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
  // upgrade starts with `image` (its digest and record when it could be read).
  void Start(const char* command, const ImageFacts& image);
  void PortDone(const std::string& port, const UpgradeOutcome& outcome,
                const AttemptFigures& figures = AttemptFigures());
  // station: the unit now on `port` (from 1); every later event of the port names it.
  void SetUnit(const std::string& port, int unit);
  // station: how many units passed, failed, or were left alone as current.
  void Totals(int passed, int failed, int skipped);
  // Something went wrong that does not stop the command (`about`: "history").
  void Warning(const char* about, const std::string& message);
  // The command's end, with its exit status; `error` (a bad command line's reason) adds the
  // field "error". `command` is "" when the command line named none.
  void End(const char* command, int status, const std::string& error = std::string());

 private:
  CJsonObject Event(const char* name, const std::string* port = nullptr);
  void Write(const CJsonObject& object);

  bool m_on;
  std::function<std::int64_t()> m_wallMs;
  std::mutex m_mutex;
  std::mutex m_unitsMutex;
  std::map<std::string, int> m_units;  // station: each port's unit
};
