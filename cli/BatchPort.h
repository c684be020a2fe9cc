#pragma once
// What one port of several shows, from its own thread: status lines as notes, progress on
// its line of the screen, the question at the shared gate, failures on stderr. Where the
// port stands (untouched, erased, half written) goes to the Ctrl-C handler.

#include "cli/BatchScreen.h"
#include "cli/ConsentGate.h"
#include "modem/MessageBoxes.h"
#include "modem/ProgressView.h"
#include "modem/StatusView.h"

class CBatchPortView : public IStatusView, public IProgressView, public IMessageBoxes {
 public:
  CBatchPortView(int port, CBatchScreen& screen, CConsentGate& gate)
      : m_port(port), m_screen(screen), m_gate(gate) {}

  void OpenStatusWindow() override {}
  void ShowStatus(const StatusMessage& message) override;
  void CloseStatusWindow() override {}

  void OpenProgressWindow() override;
  void ShowProgress(const ProgressReport& report) override;
  void CloseProgressWindow() override {}

  int ShowMessageBox(const BoxMessage& message) override;

 private:
  int m_port;
  CBatchScreen& m_screen;
  CConsentGate& m_gate;
};
