// Find: probe the ports in turn (COM1..COM8 in the dialog) and select the first port where
// a supported modem identifies itself.

#include <cstring>

#include "modem/FirmwareUpdateCore.h"
#include "modem/ModemCommands.h"
#include "modem/NullSeams.h"
#include "modem/PortSetup.h"
#include "record/Fields.h"

namespace {

constexpr std::uint32_t kCommandPauseMs = 200;
constexpr std::uint32_t kResultPauseMs = 2000;
constexpr unsigned kResetAnswerSize = 30;
constexpr unsigned kIdentifyAnswerSize = 40;

// The answer counts up to its first zero byte, like a C string.
bool IsSupportedModem(const char* answer, unsigned received) {
  const unsigned textLength = static_cast<unsigned>(strnlen(answer, received));
  for (const char* id : cmd::kIdentifications) {
    if (FindPattern(answer, textLength, id) >= 0) return true;
  }
  return false;
}

}  // namespace

bool CFirmwareUpdateCore::ProbePort(int index) {
  m_pacing.Pause(kCommandPauseMs);
  if (!m_pPort->Open(m_ports[static_cast<std::size_t>(index)])) return false;
  PreparePort(*m_pPort, timeouts::kScan);

  char answer[kIdentifyAnswerSize + 1] = {};
  m_pPort->Write(cmd::kScanReset, CommandLength(cmd::kScanReset));
  m_pacing.Pause(kCommandPauseMs);
  unsigned received = m_pPort->Read(answer, kResetAnswerSize);
  answer[received] = '\0';

  m_pPort->Write(cmd::kScanIdentify, CommandLength(cmd::kScanIdentify));
  m_pacing.Pause(kCommandPauseMs);
  received = m_pPort->Read(answer, kIdentifyAnswerSize);
  answer[received] = '\0';
  return IsSupportedModem(answer, received);
}

std::optional<FoundPort> CFirmwareUpdateCore::ScanPorts(const FindSeams& seams) {
  CNullPortChecks unheard;  // the dialog shows no reasons
  return ScanPorts(seams, unheard);
}

std::optional<FoundPort> CFirmwareUpdateCore::ScanPorts(const FindSeams& seams,
                                                        IPortChecks& checks) {
  // A port object still held means an operation is under way: leave the ports alone.
  if (m_pPort) return std::nullopt;
  for (std::size_t i = 0; i < m_ports.size(); ++i) {
    const int index = static_cast<int>(i);
    const PortRef port{index, m_ports[i]};
    m_pPort = std::make_unique<CComPort>(m_driver);
    seams.status.ShowStatus({StatusId::kQueryPort, port});
    const bool found = ProbePort(index);
    checks.PortChecked({index, port.name, m_pPort->LastOpenFailure(), found});
    if (found) {
      seams.status.ShowStatus({StatusId::kFoundModem, port});
      m_pacing.Pause(kResultPauseMs);
      m_nPortIndex = index;
      seams.controls.SelectPort(index);
    }
    m_pPort.reset();
    if (found) return FoundPort{index, port.name};
  }
  return std::nullopt;
}

std::optional<FoundPort> CFirmwareUpdateCore::OnFind(const FindSeams& seams) {
  seams.status.OpenStatusWindow();
  std::optional<FoundPort> found;
  if (!m_pPort) found = ScanPorts(seams);
  if (!m_pPort && !found) {
    seams.status.ShowStatus({StatusId::kNoModem, {}});
    m_pacing.Pause(kResultPauseMs);
  }
  seams.status.CloseStatusWindow();
  return found;
}
