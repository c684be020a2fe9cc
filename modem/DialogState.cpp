#include "modem/FirmwareUpdateCore.h"
#include "serial/PortNames.h"

CFirmwareUpdateCore::CFirmwareUpdateCore(ISerialDriver& driver, IPacing& pacing)
    : m_ports(PortNames, PortNames + kPortCount), m_driver(driver), m_pacing(pacing) {}

void CFirmwareUpdateCore::SetPorts(std::vector<std::string> names) {
  m_ports = std::move(names);
  m_nPortIndex = 0;
}

void CFirmwareUpdateCore::ChoosePort(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= m_ports.size()) return;
  m_nPortIndex = index;
}

void CFirmwareUpdateCore::ChooseImage(const std::string& name) { m_strFileName = name; }

const std::string& CFirmwareUpdateCore::PortName() const {
  static const std::string kNone;
  const auto i = static_cast<std::size_t>(m_nPortIndex);
  return i < m_ports.size() ? m_ports[i] : kNone;
}

PortRef CFirmwareUpdateCore::ChosenPort() const { return {m_nPortIndex, PortName()}; }

void CFirmwareUpdateCore::ResetDialogState(IDialogControls& controls) {
  m_pPort.reset();
  m_nPortIndex = 0;
  controls.SelectPort(0);
  controls.EnableUpgrade(false);
}

// The list reports no selection (-1) when its text was typed rather than chosen: keep the
// port that was chosen last.
void CFirmwareUpdateCore::OnPortSelected(int index) { ChoosePort(index); }

void CFirmwareUpdateCore::OnFileChosen(const std::string& name, IDialogControls& controls) {
  ChooseImage(name);
  controls.SetFileNameText(name);
  controls.EnableUpgrade(true);
}

void CFirmwareUpdateCore::ReleasePort() { m_pPort.reset(); }
