#include "cli/BatchPort.h"

#include "cli/ConsoleTexts.h"
#include "cli/InterruptPorts.h"

void CBatchPortView::ShowStatus(const StatusMessage& message) {
  m_screen.Note(m_port, ConsoleStatusLine(message));
}

void CBatchPortView::OpenProgressWindow() { SetInterruptPortState(m_port, PortState::kErased); }

void CBatchPortView::ShowProgress(const ProgressReport& report) {
  if (report.phase == ProgressPhase::kTransfer)
    SetInterruptPortState(m_port, PortState::kHalfWritten);
  m_screen.Progress(m_port, report);
}

int CBatchPortView::ShowMessageBox(const BoxMessage& message) {
  switch (message.id) {
    case BoxId::kConsent:
      return m_gate.Arrive(m_port, message.modem, message.image) ? box::kIdOk : box::kIdCancel;
    case BoxId::kWarning:  // said once for all ports before they start
    case BoxId::kSuccess:  // said on the port's line and in the summary
      return box::kIdOk;
    case BoxId::kCantOpenPort:
    case BoxId::kCantOpenUpgradePort: {
      const std::string why = OpenFailureText(message.openFailure);
      m_screen.Error(m_port, ConsoleBoxText(message) + (why.empty() ? "" : " (" + why + ")"));
      return box::kIdOk;
    }
    case BoxId::kIncorrectImage:
    case BoxId::kCantQueryModem:
    case BoxId::kCantOpenImage:
    case BoxId::kNotReady:
    case BoxId::kTransferFailed:
    case BoxId::kNotConfirmed:
      m_screen.Error(m_port, FirstParagraph(ConsoleBoxText(message)));
      return box::kIdOk;
    case BoxId::kCount:
      break;
  }
  return box::kIdCancel;
}
