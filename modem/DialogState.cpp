#include "modem/FirmwareUpdateCore.h"
#include "serial/PortNames.h"

void CFirmwareUpdateCore::ResetDialogState() {
  m_pPort.reset();
  m_nPortIndex = 0;
  SelectPort(0);
  EnableUpgrade(false);
}

void CFirmwareUpdateCore::OnPortSelected(int index) {
  // The list reports no selection (-1) when its text was typed rather than chosen: keep
  // the port that was chosen last.
  if (index < 0 || index >= kPortCount) return;
  m_nPortIndex = index;
}

void CFirmwareUpdateCore::OnFileChosen(const std::string& name) {
  m_strFileName = name;
  SetFileNameText(name);
  EnableUpgrade(true);
}

void CFirmwareUpdateCore::ReleasePort() { m_pPort.reset(); }
