#include "cli/ConsoleTexts.h"

#include "cli/ConsolePorts.h"
#include "cli/ExitStatus.h"
#include "modem/Format.h"
#include "modem/Texts.h"

namespace {

// A port as the lines name it: COM1..COM8 as the dialog program writes them (upper case in
// the scan, lower case in the error), any other name as the user gave it.
std::string Shown(const PortRef& port, const char* comFormat) {
  const int n = ComPortNumber(port.name);
  return n > 0 ? FormatText(comFormat, n) : port.name;
}

// For a value that is no outcome (the count), which the core never returns.
constexpr int kNoOutcome = 70;

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

int UpgradeExitStatus(UpgradeResult result) {
  switch (result) {
    case UpgradeResult::kDone:
      return exitcode::kDone;
    case UpgradeResult::kDeclined:
      return exitcode::kDeclined;
    case UpgradeResult::kCantOpenPort:
      return exitcode::kCantOpenPort;
    case UpgradeResult::kQueryFailed:
      return exitcode::kCantQueryModem;
    case UpgradeResult::kCantOpenImage:
      return exitcode::kCantOpenImage;
    case UpgradeResult::kIncorrectImage:
      return exitcode::kIncorrectImage;
    case UpgradeResult::kNotReady:
      return exitcode::kNotReady;
    case UpgradeResult::kTransferIncomplete:
      return exitcode::kTransferFailed;
    case UpgradeResult::kNotConfirmed:
      return exitcode::kNotConfirmed;
    case UpgradeResult::kCurrent:
      return exitcode::kDone;
    case UpgradeResult::kCount:
      break;
  }
  return kNoOutcome;
}

std::string ConsoleCurrentLine(const std::string& port) {
  return "Current: the modem on " + port +
         " already has the image's versions and dates; nothing was written.";
}

const char* OutcomeKey(UpgradeResult result) {
  switch (result) {
    case UpgradeResult::kDone:
      return "done";
    case UpgradeResult::kDeclined:
      return "declined";
    case UpgradeResult::kCantOpenPort:
      return "cant_open_port";
    case UpgradeResult::kQueryFailed:
      return "query_failed";
    case UpgradeResult::kCantOpenImage:
      return "cant_open_image";
    case UpgradeResult::kIncorrectImage:
      return "incorrect_image";
    case UpgradeResult::kNotReady:
      return "not_ready";
    case UpgradeResult::kTransferIncomplete:
      return "transfer_incomplete";
    case UpgradeResult::kNotConfirmed:
      return "not_confirmed";
    case UpgradeResult::kCurrent:
      return "current";
    case UpgradeResult::kCount:
      break;
  }
  return "";
}

OutcomeMessage ConsoleOutcomeMessage(const UpgradeOutcome& o) {
  const PortRef port{0, o.port};
  switch (o.result) {
    case UpgradeResult::kDone:
      return {"success", ConsoleBoxText(BoxMessage(BoxId::kSuccess))};
    case UpgradeResult::kDeclined:
      return {"declined", "Not updated: nothing was written to the modem."};
    case UpgradeResult::kCantOpenPort:
      return {"cant_open_port", ConsoleBoxText(BoxMessage(BoxId::kCantOpenPort, port))};
    case UpgradeResult::kQueryFailed:
      return {"cant_query_modem", ConsoleBoxText(BoxMessage(BoxId::kCantQueryModem))};
    case UpgradeResult::kCantOpenImage:
      return {"cant_open_image", ConsoleBoxText(BoxMessage(BoxId::kCantOpenImage))};
    case UpgradeResult::kIncorrectImage:
      return {"incorrect_image", ConsoleBoxText(BoxMessage(BoxId::kIncorrectImage))};
    case UpgradeResult::kNotReady:
      return {"not_ready", ConsoleBoxText(BoxMessage(BoxId::kNotReady))};
    case UpgradeResult::kTransferIncomplete:
      return {"transfer_failed", ConsoleBoxText(BoxMessage(BoxId::kTransferFailed))};
    case UpgradeResult::kNotConfirmed:
      return {"not_confirmed", ConsoleBoxText(BoxMessage(BoxId::kNotConfirmed))};
    case UpgradeResult::kCurrent:
      return {"current", ConsoleCurrentLine(o.port)};
    case UpgradeResult::kCount:
      break;
  }
  return {"", ""};
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

std::string OutcomeSummary(UpgradeResult result) {
  switch (result) {
    case UpgradeResult::kDone:
      return "updated";
    case UpgradeResult::kDeclined:
      return "declined, untouched";
    case UpgradeResult::kCantOpenPort:
      return "port did not open, untouched";
    case UpgradeResult::kQueryFailed:
      return "no versions, untouched";
    case UpgradeResult::kCantOpenImage:
      return "image did not open, untouched";
    case UpgradeResult::kIncorrectImage:
      return "incorrect image, untouched";
    case UpgradeResult::kNotReady:
      return "not ready (flash may be erased)";
    case UpgradeResult::kTransferIncomplete:
      return "transfer failed (half written)";
    case UpgradeResult::kNotConfirmed:
      return "not confirmed (may be half written)";
    case UpgradeResult::kCurrent:
      return "current, untouched";
    case UpgradeResult::kCount:
      break;
  }
  return "";
}
