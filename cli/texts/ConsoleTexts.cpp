#include "cli/texts/ConsoleTexts.h"

#include "modem/MessageTexts.h"
#include "modem/Texts.h"

const char* ShownField(const char* field) {
  while (*field == ' ' || *field == '\t') ++field;
  return *field ? field : "-";
}

std::string FirstParagraph(const std::string& text) { return text.substr(0, text.find("\n\n")); }

std::string ConsoleBoxText(const BoxMessage& m) {
  // The box's question has no answer to give on a line: only its warning is printed.
  if (m.id == BoxId::kWarning) return FirstParagraph(BoxText(m));
  return BoxText(m);
}

std::string OpenFailureText(OpenFailure failure) {
  switch (failure) {
    case OpenFailure::kNone:
      return "";
    case OpenFailure::kMissing:
      return "no such device";
    case OpenFailure::kBusy:
      return "busy: another program holds it";
    case OpenFailure::kDenied:
      return "no permission (on most systems members of the group dialout may use serial ports)";
    case OpenFailure::kOther:
      return "not a serial device, or the device failed";
  }
  return "";
}

const char* PortCheckKey(const PortCheck& check) {
  switch (check.openFailure) {
    case OpenFailure::kNone:
      return check.found ? "found" : "no_answer";
    case OpenFailure::kMissing:
      return "missing";
    case OpenFailure::kBusy:
      return "busy";
    case OpenFailure::kDenied:
      return "denied";
    case OpenFailure::kOther:
      return "other";
  }
  return "other";
}

std::string LineFailureText(LineFailure failure) {
  switch (failure) {
    case LineFailure::kNone:
      return "";
    case LineFailure::kDeviceGone:
      return "the device went away: the adapter was pulled out or lost power";
  }
  return "";
}

std::string ProgressLabel(ProgressPhase phase) {
  switch (phase) {
    case ProgressPhase::kErase:
      return text::kErasing;
    case ProgressPhase::kTransfer:
      return text::kUpdating;
  }
  return "";
}

const char* PhaseKey(ProgressPhase phase) {
  switch (phase) {
    case ProgressPhase::kErase:
      return "erase";
    case ProgressPhase::kTransfer:
      return "transfer";
  }
  return "";
}

std::string ConsoleOutcomeText(const UpgradeOutcome& o) {
  const OutcomeRow& row = OutcomeOf(o.result);
  if (row.box != BoxId::kCount) return ConsoleBoxText(BoxMessage(row.box, {0, o.port}));
  std::string line = row.line;
  const std::size_t at = line.find("%s");
  if (at != std::string::npos) line.replace(at, 2, o.port);
  return line;
}
