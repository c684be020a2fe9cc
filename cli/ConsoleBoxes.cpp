#include "cli/ConsoleBoxes.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "cli/ExitStatus.h"
#include "cli/Platform.h"
#include "modem/Texts.h"
#include "serial/PortNames.h"

namespace {

// A failure box's text and the exit status it stands for.
struct FailureBox {
  const char* text;
  int status;
  bool flashAtRisk;  // shown after the erase began
};
constexpr FailureBox kFailures[] = {
    {text::kIncorrectImage, exitcode::kIncorrectImage, false},
    {text::kCantQueryModem, exitcode::kCantQueryModem, false},
    {text::kCantOpenImage, exitcode::kCantOpenImage, false},
    {text::kNotReady, exitcode::kNotReady, true},
    {text::kTransferFailed, exitcode::kTransferFailed, true},
    {text::kNotConfirmed, exitcode::kNotConfirmed, true},
};

bool IsCantOpenPort(const std::string& text) {
  const char* d = std::strstr(text::kCantOpenPort, "%d");
  return text.compare(0, static_cast<std::size_t>(d - text::kCantOpenPort), text::kCantOpenPort,
                      static_cast<std::size_t>(d - text::kCantOpenPort)) == 0;
}

bool IsYes(const std::string& answer) {
  std::string word;
  for (char c : answer) {
    if (!std::isspace(static_cast<unsigned char>(c)))
      word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return word == "y" || word == "yes";
}

}  // namespace

std::string FirstParagraph(const std::string& text) { return text.substr(0, text.find("\n\n")); }

int CConsoleBoxes::ShowMessageBox(const std::string& text, const std::string& caption,
                                  unsigned type) {
  if (caption == text::kCaptionConsent) return AskConsent(text);
  if (caption == text::kCaptionWarning) {
    // The box's question has no answer to give: only its warning is printed.
    m_out.Print(FirstParagraph(text));
    return box::kIdOk;
  }
  if (caption == text::kCaptionSuccess) {
    m_out.Print(text);
    return box::kIdOk;
  }
  if (IsCantOpenPort(text)) {
    Fail(exitcode::kCantOpenPort, m_slots.NameInText(text));
    // Which port, and a guess at why; the text says only that it did not open.
    for (int i = 0; i < kPortCount; ++i) {
      const PortSlot* slot = m_slots.At(i);
      const std::string hint = slot ? PortOpenHint(slot->device) : "";
      if (!hint.empty()) m_out.Error("  " + slot->device + ": " + hint);
    }
    return box::kIdOk;
  }
  for (const FailureBox& failure : kFailures) {
    if (text != failure.text) continue;
    Fail(failure.status, text);
    if (failure.flashAtRisk) {
      m_out.Error("The modem's flash may be erased or partly written: the modem will not work "
                  "until an upgrade completes. Run the same upgrade again:\n  " + m_retry);
    }
    return box::kIdOk;
  }
  m_out.Error(caption + ": " + text);
  return (type & box::kButtonsMask) == box::kOkCancel ? box::kIdCancel : box::kIdOk;
}

int CConsoleBoxes::AskConsent(const std::string& comparison) {
  m_out.Print(comparison.substr(0, comparison.rfind('\n')));
  const std::string question = comparison.substr(comparison.rfind('\n') + 1);
  if (m_yes) {
    m_out.Print(question + " yes (--yes)");
    return box::kIdOk;
  }
  DiscardTypeAhead();
  std::fputs((question + " [y/N] ").c_str(), stdout);
  std::fflush(stdout);
  char answer[64] = {};
  const bool yes = std::fgets(answer, sizeof answer, stdin) && IsYes(answer);
  if (!yes) {
    if (answer[0] == '\0') std::fputc('\n', stdout);  // end of input: end the question's line
    m_out.Print("Not updated: nothing was written to the modem.");
    m_outcome = exitcode::kDeclined;
    return box::kIdCancel;
  }
  return box::kIdOk;
}

void CConsoleBoxes::Fail(int status, const std::string& text) {
  m_out.Error("fwupdate: " + text);
  if (m_outcome == exitcode::kDone) m_outcome = status;
}
