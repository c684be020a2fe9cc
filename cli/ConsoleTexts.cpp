#include "cli/ConsoleTexts.h"

#include "cli/ConsolePorts.h"
#include "modem/Format.h"
#include "modem/Texts.h"

namespace {

// A port as the lines name it: COM1..COM8 as the dialog program writes them (upper case in
// the scan, lower case in the error), any other name as the user gave it.
std::string Shown(const PortRef& port, const char* comFormat) {
  const int n = ComPortNumber(port.name);
  return n > 0 ? FormatText(comFormat, n) : port.name;
}

}  // namespace

std::string FirstParagraph(const std::string& text) { return text.substr(0, text.find("\n\n")); }

std::string ConsoleStatusLine(const StatusMessage& m) {
  switch (m.id) {
    case StatusId::kQueryPort:
      return "Query " + Shown(m.port, "COM%d") + "...";
    case StatusId::kFoundModem:
      return "Found Orvane modem on " + Shown(m.port, "COM%d") + ".";
    case StatusId::kNoModem:
      return text::kNoModem;
    case StatusId::kReadingImage:
      return text::kReadingImage;
    case StatusId::kQueryingModem:
      return text::kQueryingModem;
    case StatusId::kCount:
      break;
  }
  return "";
}

std::string ConsoleBoxText(const BoxMessage& m) {
  switch (m.id) {
    case BoxId::kCantOpenPort:
    case BoxId::kCantOpenUpgradePort:
      return "Can't open " + Shown(m.port, "com%d") + "!";
    case BoxId::kIncorrectImage:
      return text::kIncorrectImage;
    case BoxId::kCantQueryModem:
      return text::kCantQueryModem;
    case BoxId::kCantOpenImage:
      return text::kCantOpenImage;
    case BoxId::kConsent:
      return FormatText(text::kComparison, m.modem.controllerVersion, m.modem.controllerDate,
                        m.modem.dspVersion, m.modem.dspDate, m.image.controllerVersion,
                        m.image.controllerDate, m.image.dspVersion, m.image.dspDate);
    // The box's question has no answer to give: only its warning is printed.
    case BoxId::kWarning:
      return FirstParagraph(text::kWarning);
    case BoxId::kNotReady:
      return text::kNotReady;
    case BoxId::kTransferFailed:
      return text::kTransferFailed;
    case BoxId::kNotConfirmed:
      return text::kNotConfirmed;
    case BoxId::kSuccess:
      return text::kSuccess;
    case BoxId::kCount:
      break;
  }
  return "";
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
