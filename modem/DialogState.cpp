#include "modem/FirmwareUpdateCore.h"
#include "serial/PortNames.h"

CFirmwareUpdateCore::CFirmwareUpdateCore(const FirmwareUpdateSeams& seams)
    : m_driver(seams.driver),
      m_pacing(seams.pacing),
      m_files(seams.files),
      m_status(seams.status),
      m_progress(seams.progress),
      m_boxes(seams.boxes),
      m_controls(seams.controls) {}

void CFirmwareUpdateCore::ResetDialogState() {
  m_pPort.reset();
  m_nPortIndex = 0;
  m_controls.SelectPort(0);
  m_controls.EnableUpgrade(false);
}

void CFirmwareUpdateCore::OnPortSelected(int index) {
  // The list reports no selection (-1) when its text was typed rather than chosen: keep
  // the port that was chosen last.
  if (index < 0 || index >= kPortCount) return;
  m_nPortIndex = index;
}

void CFirmwareUpdateCore::OnFileChosen(const std::string& name) {
  m_strFileName = name;
  m_controls.SetFileNameText(name);
  m_controls.EnableUpgrade(true);
}

void CFirmwareUpdateCore::ReleasePort() { m_pPort.reset(); }
