#pragma once
// What one port of several shows, from its own thread: status lines as notes, progress on
// its live line, failures on stderr.

#include "cli/screen/LiveLines.h"
#include "modem/MessageBoxes.h"
#include "modem/ProgressView.h"
#include "modem/StatusView.h"

class CBatchPortView : public IStatusView, public IProgressView, public IMessageBoxes {
 public:
  CBatchPortView(int port, CLiveLines& screen) : m_port(port), m_screen(screen) {}

  void OpenStatusWindow() override {}
  void ShowStatus(const StatusMessage& message) override;
  void CloseStatusWindow() override {}

  void OpenProgressWindow() override {}
  void BeginPhase(ProgressPhase phase, std::uint32_t total) override;
  void Advance(std::uint32_t done) override;
  void EndPhase(ProgressPhase) override {}
  void CloseProgressWindow() override {}

  int ShowMessageBox(const BoxMessage& message) override;

 private:
  int m_port;
  CLiveLines& m_screen;
  ProgressReport m_at{ProgressPhase::kErase, 0, 0};
};
