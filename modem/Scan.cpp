// Find: probe COM1..COM8 and select the first port where a supported modem identifies itself.

#include <cstring>

#include "modem/FirmwareUpdateCore.h"
#include "modem/Format.h"
#include "modem/ModemCommands.h"
#include "modem/PortSetup.h"
#include "modem/Texts.h"
#include "record/Fields.h"
#include "serial/PortNames.h"

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
  if (!m_pPort->Open(index)) return false;
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

int CFirmwareUpdateCore::ScanPorts(int count) {
  // A port object still held means an operation is under way: leave the ports alone.
  if (m_pPort) return -1;
  for (int i = 0; i < count && i < kPortCount; ++i) {
    m_pPort = std::make_unique<CComPort>(m_driver);
    m_status.SetStatusText(FormatText(text::kQueryPort, i + 1));
    const bool found = ProbePort(i);
    if (found) {
      m_status.SetStatusText(FormatText(text::kFoundModem, i + 1));
      m_pacing.Pause(kResultPauseMs);
      m_nPortIndex = i;
      m_controls.SelectPort(i);
    }
    m_pPort.reset();
    if (found) return i;
  }
  return -1;
}

void CFirmwareUpdateCore::OnFind() {
  m_status.OpenStatusWindow();
  if (!m_pPort && ScanPorts(kPortCount) < 0) {
    m_status.SetStatusText(text::kNoModem);
    m_pacing.Pause(kResultPauseMs);
  }
  m_status.CloseStatusWindow();
}
