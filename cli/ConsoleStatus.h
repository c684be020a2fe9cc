#pragma once
// The status window as lines: each text once, with the user's port name in it. The scan of
// find reports on stderr, so that stdout carries only the port found.

#include "cli/ConsoleOut.h"
#include "cli/PortSlots.h"
#include "modem/StatusView.h"

class CConsoleStatus : public IStatusView {
 public:
  CConsoleStatus(CConsoleOut& out, const CPortSlots& slots) : m_out(out), m_slots(slots) {}
  void ReportOnStderr(bool onStderr) { m_onStderr = onStderr; }

  void OpenStatusWindow() override {}
  void SetStatusText(const std::string& text) override {
    const std::string line = m_slots.NameInText(text);
    if (m_onStderr) m_out.Error(line);
    else m_out.Print(line);
  }
  void CloseStatusWindow() override {}

 private:
  CConsoleOut& m_out;
  const CPortSlots& m_slots;
  bool m_onStderr = false;
};
