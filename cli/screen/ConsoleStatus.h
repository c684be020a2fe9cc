#pragma once
// The status window as lines: each line once, naming the port as the user gave it. The scan
// of find reports on stderr, so that stdout carries only the port found.

#include "cli/screen/ConsoleOut.h"
#include "cli/texts/ConsoleTexts.h"
#include "modem/StatusView.h"

class CConsoleStatus : public IStatusView {
 public:
  explicit CConsoleStatus(CConsoleOut& out) : m_out(out) {}
  void ReportOnStderr(bool onStderr) { m_onStderr = onStderr; }

  void OpenStatusWindow() override {}
  void ShowStatus(const StatusMessage& message) override {
    const std::string line = StatusText(message);
    if (m_onStderr)
      m_out.Error(line);
    else
      m_out.Print(line);
  }
  void CloseStatusWindow() override {}

 private:
  CConsoleOut& m_out;
  bool m_onStderr = false;
};
