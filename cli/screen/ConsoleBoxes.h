#pragma once
// The message boxes on the console. The consent box becomes the printed comparison and a
// y/N question (or the answer of --yes); a failure box prints its line on stderr (with why a
// port did not open or its device went away, and what to run when the flash is at risk); the
// warning and the success report are printed.

#include <bitset>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "cli/platform/ConsolePorts.h"
#include "cli/screen/ConsoleOut.h"
#include "modem/MessageBoxes.h"

// Whether a typed answer says yes: "y" or "yes", any case, blanks aside.
bool IsYesAnswer(const std::string& answer);

class CConsoleBoxes : public IMessageBoxes {
 public:
  CConsoleBoxes(CConsoleOut& out, const std::vector<ConsolePort>& ports);
  // --yes: the question is answered without asking.
  void AnswerYes(bool yes) { m_yes = yes; }
  // What to tell the user to run when the modem is left without working firmware.
  void SetRetryCommand(const std::string& command) { m_retry = command; }
  // Where the answer to the question is read: standard input, or a file in tests.
  void ReadAnswersFrom(std::FILE* in) { m_in = in; }

  int ShowMessageBox(const BoxMessage& message) override;
  // Whether a box of this kind was shown.
  bool Shown(BoxId id) const { return m_shown.test(static_cast<std::size_t>(id)); }

 private:
  int AskConsent(const std::string& comparison);
  void Fail(const std::string& text);
  // "  device: why" under a failure, when there is a why.
  void Why(const PortRef& port, const std::string& why);
  void FlashAtRisk();

  CConsoleOut& m_out;
  std::map<std::string, std::string> m_devices;  // port name -> device
  bool m_yes = false;
  std::string m_retry;
  std::FILE* m_in = stdin;
  std::bitset<static_cast<std::size_t>(BoxId::kCount)> m_shown;
};
