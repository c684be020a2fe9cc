// Asks the modem on the chosen port for its controller and DSP versions and dates.

#include "modem/FirmwareUpdateCore.h"
#include "modem/ModemCommands.h"
#include "modem/PortSetup.h"
#include "record/Fields.h"

namespace {

constexpr std::uint32_t kAnswerPauseMs = 500;
constexpr unsigned kAnswerSize = 60;

// Each answer is searched alone: only the bytes this read received.
void TakeVersionAndDate(const char* answer, unsigned received, const char* label, char* version,
                        char* date) {
  const int p = FindPattern(answer, received, label);
  if (p >= 0) ReadTokenAfterLabel(answer, received, p, label, version);
  const int d = FindPattern(answer, received, marker::kDate);
  if (d >= 0) ReadDateField(answer, received, d, date);
}

}  // namespace

unsigned CFirmwareUpdateCore::AskModem(const char* command, unsigned length, char* answer,
                                       unsigned size) {
  m_pPort->Write(command, length);
  m_pacing.Pause(kAnswerPauseMs);
  const unsigned received = m_pPort->Read(answer, size);
  answer[received] = '\0';
  return received;
}

QueryResult CFirmwareUpdateCore::QueryModemInfo(FirmwareVersionInfo& modem, IMessageBoxes& boxes) {
  modem.Clear();
  if (m_pPort) return {QueryStatus::kIncomplete, PortName()};

  m_pPort = std::make_unique<CComPort>(m_driver);
  if (!m_pPort->Open(PortName())) {
    BoxMessage message{BoxId::kCantOpenPort, ChosenPort()};
    message.openFailure = m_pPort->LastOpenFailure();
    boxes.ShowMessageBox(message);
    m_pPort.reset();
    return {QueryStatus::kCantOpenPort, PortName(), message.openFailure};
  }
  PreparePort(*m_pPort, timeouts::kQuery);

  m_pPort->Write(cmd::kReset, CommandLength(cmd::kReset));
  m_pacing.Pause(kAnswerPauseMs);
  m_pPort->PurgeRx();

  char answer[kAnswerSize + 1] = {};
  unsigned received =
      AskModem(cmd::kControllerInfo, CommandLength(cmd::kControllerInfo), answer, kAnswerSize);
  TakeVersionAndDate(answer, received, marker::kControllerVersion, modem.controllerVersion,
                     modem.controllerDate);
  m_pPort->PurgeRx();

  received = AskModem(cmd::kDspInfo, CommandLength(cmd::kDspInfo), answer, kAnswerSize);
  TakeVersionAndDate(answer, received, marker::kDspVersion, modem.dspVersion, modem.dspDate);

  m_identityRead.clear();
  m_serialRead.clear();
  if (!m_serialCommand.empty()) {
    m_pPort->PurgeRx();
    received = AskModem(cmd::kScanIdentify, CommandLength(cmd::kScanIdentify), answer, kAnswerSize);
    m_identityRead.assign(answer, received);
    m_pPort->PurgeRx();
    const std::string serial = m_serialCommand + "\r";
    received = AskModem(serial.c_str(), static_cast<unsigned>(serial.size()), answer, kAnswerSize);
    m_serialRead.assign(answer, received);
  }

  m_pPort->PurgeRx();
  m_pPort->PurgeTx();
  m_pPort.reset();
  return {modem.IsComplete() ? QueryStatus::kDone : QueryStatus::kIncomplete, PortName()};
}
