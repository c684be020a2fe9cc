#include "cli/screen/ConsoleScreen.h"

#include "cli/texts/ConsoleTexts.h"

bool CConsoleScreen::Ask(const std::vector<Arrival>& waiting, bool yes) {
  BoxMessage consent(BoxId::kConsent, {0, m_port.name});
  consent.modem = waiting.front().modem;
  consent.image = waiting.front().image;
  m_boxes.AnswerYes(yes);
  return m_boxes.ShowMessageBox(consent) == box::kIdOk;
}

void CConsoleScreen::PortDone(int, const PortResult& result) {
  // A console has no silent ending: an outcome no box reported is said here.
  const OutcomeRow& row = OutcomeOf(result.outcome.result);
  if (row.box != BoxId::kCount) {
    if (!m_boxes.Shown(row.box)) m_boxes.ShowMessageBox(BoxMessage(row.box, {0, m_port.name}));
  } else if (!m_boxes.Shown(BoxId::kConsent)) {
    m_out.Print(ConsoleOutcomeText(result.outcome));
  }
}
