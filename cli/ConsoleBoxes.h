#pragma once
// The message boxes on the console. The consent box becomes the printed comparison and a
// y/N question (or the answer of --yes); a failure box prints its text on stderr and
// decides the exit status; the warning and the success report are printed.

#include <string>

#include "cli/ConsoleOut.h"
#include "cli/PortSlots.h"
#include "modem/MessageBoxes.h"

class CConsoleBoxes : public IMessageBoxes {
 public:
  CConsoleBoxes(CConsoleOut& out, const CPortSlots& slots) : m_out(out), m_slots(slots) {}
  // --yes: the question is answered without asking.
  void AnswerYes(bool yes) { m_yes = yes; }
  // What to tell the user to run when the modem is left without working firmware.
  void SetRetryCommand(const std::string& command) { m_retry = command; }

  int ShowMessageBox(const std::string& text, const std::string& caption,
                     unsigned type) override;

  // The exit status the boxes shown so far stand for: the first failure, or done.
  int Outcome() const { return m_outcome; }

 private:
  int AskConsent(const std::string& comparison);
  void Fail(int status, const std::string& text);

  CConsoleOut& m_out;
  const CPortSlots& m_slots;
  bool m_yes = false;
  std::string m_retry;
  int m_outcome = 0;
};

// The first paragraph of a box text: "Incorrect firmware file." of
// "Incorrect firmware file.\n\n Upgrade stop !".
std::string FirstParagraph(const std::string& text);
