#include "cli/Commands.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "cli/ConsoleFront.h"
#include "cli/ConsoleTexts.h"
#include "cli/ExitStatus.h"
#include "modem/Texts.h"

namespace {

// A field as shown in the table: without the blanks a modem puts before its dates.
const char* Shown(const char* field) {
  while (*field == ' ' || *field == '\t') ++field;
  return *field ? field : "-";
}

// The records side by side, one row per field; "-" where a field was not found.
void PrintVersions(CConsoleOut& out, const FirmwareVersionInfo& modem,
                   const FirmwareVersionInfo* image) {
  const struct {
    const char* label;
    const char* modem;
    const char* image;
  } rows[] = {
      {"Controller Ver", modem.controllerVersion, image ? image->controllerVersion : ""},
      {"Controller Date", modem.controllerDate, image ? image->controllerDate : ""},
      {"DSP Ver", modem.dspVersion, image ? image->dspVersion : ""},
      {"DSP Date", modem.dspDate, image ? image->dspDate : ""},
  };
  int width = 5;  // "Modem"
  for (const auto& row : rows) {
    width = std::max(width, static_cast<int>(std::strlen(Shown(row.modem))));
  }
  char line[160];
  auto print = [&](const char* label, const char* first, const char* second) {
    if (image)
      std::snprintf(line, sizeof line, "%-16s %-*s%s", label, width + 2, first, second);
    else
      std::snprintf(line, sizeof line, "%-16s %s", label, first);
    out.Print(line);
  };
  print("", "Modem", "Image");
  for (const auto& row : rows) print(row.label, Shown(row.modem), image ? Shown(row.image) : "");
}

}  // namespace

int RunFind(CConsoleOut& out, ISerialDriver& driver, const std::vector<ConsolePort>& ports) {
  CConsoleFront front(out, driver, ports);
  front.status.ReportOnStderr(true);
  if (const std::optional<FoundPort> found = front.core.ScanPorts(front.ForFind())) {
    out.Print(found->name);
    return exitcode::kDone;
  }
  out.Error(ConsoleStatusLine({StatusId::kNoModem, {}}));
  return exitcode::kNotFound;
}

int RunInfo(CConsoleOut& out, ISerialDriver& driver, const ConsolePort& port,
            const std::string& image) {
  CConsoleFront front(out, driver, {port});
  FirmwareVersionInfo fromImage;
  bool imageComplete = true;
  if (!image.empty()) {
    front.core.ChooseImage(image);
    imageComplete = front.core.ReadFirmwareFileInfo(fromImage, front.files);
  }
  FirmwareVersionInfo modem;
  const QueryResult query = front.core.QueryModemInfo(modem, front.boxes);
  bool modemComplete = false;
  switch (query.status) {
    case QueryStatus::kDone:
      modemComplete = true;
      break;
    case QueryStatus::kIncomplete:
      break;
    case QueryStatus::kCantOpenPort:
      return exitcode::kCantOpenPort;  // the box said so, and why
    case QueryStatus::kCount:
      return exitcode::kCantQueryModem;
  }

  PrintVersions(out, modem, image.empty() ? nullptr : &fromImage);
  int status = exitcode::kDone;
  if (!imageComplete) {
    out.Error("fwupdate: " + FirstParagraph(text::kIncorrectImage));
    status = exitcode::kIncorrectImage;
  }
  if (!modemComplete) {
    out.Error("fwupdate: " + FirstParagraph(text::kCantQueryModem));
    status = exitcode::kCantQueryModem;
  }
  return status;
}

int RunUpgrade(CConsoleOut& out, ISerialDriver& driver, const ConsolePort& port,
               const std::string& image, bool yes, bool skipCurrent,
               const std::string& retryCommand) {
  CConsoleFront front(out, driver, {port});
  front.core.ChooseImage(image);
  front.core.SkipCurrent(skipCurrent);
  front.boxes.AnswerYes(yes);
  front.boxes.SetRetryCommand(retryCommand);
  const UpgradeOutcome outcome = front.core.OnUpgrade(front.ForUpgrade());
  if (outcome.result == UpgradeResult::kCurrent) out.Print(ConsoleCurrentLine(outcome.port));
  return UpgradeExitStatus(outcome.result);
}
