#include "cli/screen/ConsoleBoxes.h"

#include <cctype>
#include <cstdio>

#include "cli/platform/Platform.h"
#include "cli/texts/ConsoleTexts.h"

bool IsYesAnswer(const std::string& answer) {
  std::string word;
  for (char c : answer) {
    if (!std::isspace(static_cast<unsigned char>(c)))
      word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return word == "y" || word == "yes";
}

CConsoleBoxes::CConsoleBoxes(CConsoleOut& out, const std::vector<ConsolePort>& ports) : m_out(out) {
  for (const ConsolePort& port : ports) m_devices[port.name] = port.device;
}

int CConsoleBoxes::ShowMessageBox(const BoxMessage& message) {
  const std::string text = ConsoleBoxText(message);
  if (message.id != BoxId::kCount) m_shown.set(static_cast<std::size_t>(message.id));
  switch (message.id) {
    case BoxId::kConsent:
      return AskConsent(text);
    case BoxId::kWarning:
    case BoxId::kSuccess:
      m_out.Print(text);
      return box::kIdOk;
    case BoxId::kCantOpenPort:
    case BoxId::kCantOpenUpgradePort:
      Fail(text);
      // Which device, and why it did not open, as the driver saw it.
      Why(message.port, OpenFailureText(message.openFailure));
      return box::kIdOk;
    case BoxId::kIncorrectImage:
    case BoxId::kCantQueryModem:
    case BoxId::kCantOpenImage:
      Fail(text);
      return box::kIdOk;
    case BoxId::kNotReady:
    case BoxId::kTransferFailed:
    case BoxId::kNotConfirmed:
      Fail(text);
      Why(message.port, LineFailureText(message.lineFailure));
      FlashAtRisk();
      return box::kIdOk;
    case BoxId::kCount:
      break;
  }
  return box::kIdCancel;
}

int CConsoleBoxes::AskConsent(const std::string& comparison) {
  m_out.Print(comparison.substr(0, comparison.rfind('\n')));
  const std::string question = comparison.substr(comparison.rfind('\n') + 1);
  if (m_yes) {
    m_out.Print(question + " yes (--yes)");
    return box::kIdOk;
  }
  DiscardTypeAhead();
  m_out.Prompt(question + " [y/N] ");
  char answer[64] = {};
  const bool yes = std::fgets(answer, sizeof answer, m_in) && IsYesAnswer(answer);
  if (!yes) {
    if (answer[0] == '\0') m_out.Prompt("\n");  // end of input: end the question's line
    m_out.Print("Not updated: nothing was written to the modem.");
    return box::kIdCancel;
  }
  return box::kIdOk;
}

void CConsoleBoxes::Fail(const std::string& text) { m_out.Error("fwupdate: " + text); }

void CConsoleBoxes::Why(const PortRef& port, const std::string& why) {
  if (why.empty()) return;
  const auto device = m_devices.find(port.name);
  m_out.Error("  " + (device != m_devices.end() ? device->second : port.name) + ": " + why);
}

void CConsoleBoxes::FlashAtRisk() {
  m_out.Error(
      "The modem's flash may be erased or partly written: the modem will not work "
      "until an upgrade completes. Run the same upgrade again:\n  " +
      m_retry);
}
