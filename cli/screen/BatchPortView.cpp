#include "cli/screen/BatchPortView.h"

#include "cli/texts/ConsoleTexts.h"

void CBatchPortView::ShowStatus(const StatusMessage& message) {
  m_screen.Note(m_port, StatusText(message));
}

void CBatchPortView::BeginPhase(ProgressPhase phase, std::uint32_t total) {
  m_at = {phase, 0, total};
  m_screen.Progress(m_port, m_at, true);
}

void CBatchPortView::Advance(std::uint32_t done) {
  if (done <= m_at.done) return;
  m_at.done = done;
  m_screen.Progress(m_port, m_at, false);
}

int CBatchPortView::ShowMessageBox(const BoxMessage& message) {
  switch (message.id) {
    case BoxId::kConsent:  // asked once for all ports by the run
      return box::kIdCancel;
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
      m_screen.Error(m_port, FirstParagraph(ConsoleBoxText(message)));
      return box::kIdOk;
    case BoxId::kNotReady:
    case BoxId::kTransferFailed:
    case BoxId::kNotConfirmed: {
      const std::string why = LineFailureText(message.lineFailure);
      m_screen.Error(
          m_port, FirstParagraph(ConsoleBoxText(message)) + (why.empty() ? "" : " (" + why + ")"));
      return box::kIdOk;
    }
    case BoxId::kCount:
      break;
  }
  return box::kIdCancel;
}
