// Upgrade: compare versions and ask for consent, erase the flash, stream the image, report.

#include <algorithm>
#include <cstring>
#include <vector>

#include "modem/FirmwareUpdateCore.h"
#include "modem/ModemCommands.h"
#include "modem/PortSetup.h"
#include "record/Fields.h"

namespace {

constexpr std::uint32_t kBeforeQueryPauseMs = 500;
constexpr std::uint32_t kShortPauseMs = 100;
constexpr std::uint32_t kAfterWarningPauseMs = 500;
constexpr std::uint32_t kAfterResetPauseMs = 500;
constexpr std::uint32_t kErasePromptPauseMs = 2000;
// 100 x 100 ms: the ten seconds the modem needs to erase.
constexpr std::uint32_t kEraseTicks = 100;
constexpr std::uint32_t kEraseTickMs = 100;

constexpr unsigned kPromptAnswerSize = 60;
constexpr unsigned kReadyAnswerSize = 20;
constexpr unsigned kFinalAnswerSize = 4;

// Looks at the answer as text: up to its first zero byte.
bool AnswerHolds(const char* answer, unsigned received, const char* marker) {
  return FindPattern(answer, static_cast<unsigned>(strnlen(answer, received)), marker) >= 0;
}

}  // namespace

UpgradeOutcome CFirmwareUpdateCore::Outcome(UpgradeResult result, std::uint32_t bytesSent,
                                            OpenFailure openFailure) const {
  return {result,      PortName(),  openFailure,    bytesSent,
          m_modemRead, m_imageRead, m_identityRead, m_serialRead};
}

std::optional<UpgradeOutcome> CFirmwareUpdateCore::ReadBothRecords(const UpgradeSeams& seams) {
  m_modemRead.Clear();
  m_imageRead.Clear();
  FirmwareVersionInfo image, modem;
  seams.status.OpenStatusWindow();
  seams.status.ShowStatus({StatusId::kReadingImage, {}});
  if (!ReadFirmwareFileInfo(image, seams.files)) {
    seams.status.CloseStatusWindow();
    seams.boxes.ShowMessageBox(BoxMessage(BoxId::kIncorrectImage));
    return Outcome(UpgradeResult::kIncorrectImage);
  }
  m_pacing.Pause(kBeforeQueryPauseMs);
  seams.status.ShowStatus({StatusId::kQueryingModem, {}});
  const QueryResult query = QueryModemInfo(modem, seams.boxes);
  if (query.status != QueryStatus::kDone) {
    seams.status.CloseStatusWindow();
    seams.boxes.ShowMessageBox(BoxMessage(BoxId::kCantQueryModem));
    if (query.status != QueryStatus::kCantOpenPort) return Outcome(UpgradeResult::kQueryFailed);
    return Outcome(UpgradeResult::kCantOpenPort, 0, query.openFailure);
  }
  seams.status.CloseStatusWindow();
  m_modemRead = modem;
  m_imageRead = image;
  return std::nullopt;
}

std::optional<UpgradeOutcome> CFirmwareUpdateCore::ObtainConsent(const UpgradeSeams& seams) {
  if (std::optional<UpgradeOutcome> failed = ReadBothRecords(seams)) return failed;
  if (m_bSkipCurrent && SameFirmware(m_modemRead, m_imageRead))
    return Outcome(UpgradeResult::kCurrent);
  m_pacing.Pause(kShortPauseMs);

  // The user compares the versions and decides; nothing is judged here.
  BoxMessage consent{BoxId::kConsent, ChosenPort()};
  consent.modem = m_modemRead;
  consent.image = m_imageRead;
  if (seams.boxes.ShowMessageBox(consent) != box::kIdOk) return Outcome(UpgradeResult::kDeclined);
  return std::nullopt;
}

UpgradeOutcome CFirmwareUpdateCore::CheckUpgrade(const UpgradeSeams& seams) {
  std::optional<UpgradeOutcome> failed = ReadBothRecords(seams);
  seams.controls.EnableUpgrade(false);
  if (failed) return *failed;
  return Outcome(SameFirmware(m_modemRead, m_imageRead) ? UpgradeResult::kCurrent
                                                        : UpgradeResult::kWouldUpdate);
}

void CFirmwareUpdateCore::EndUpgradeFailed(std::unique_ptr<IImageFile>& file,
                                           IDialogControls& controls) {
  m_pPort.reset();
  file.reset();
  // The chosen name stays in m_strFileName; the field is emptied so the user chooses again.
  controls.SetFileNameText("");
  controls.EnableUpgrade(false);
}

bool CFirmwareUpdateCore::EraseFlash(IProgressView& progress) {
  progress.OpenProgressWindow();
  progress.BeginPhase(ProgressPhase::kErase, kEraseTicks);

  m_pPort->Write(cmd::kReset, CommandLength(cmd::kReset));
  m_pacing.Pause(kAfterResetPauseMs);
  ApplyTimeouts(*m_pPort, timeouts::kErase);
  m_pPort->Write(cmd::kEraseFlash, CommandLength(cmd::kEraseFlash));
  progress.Advance(0);
  m_pacing.Pause(kErasePromptPauseMs);

  // The prompt (and the answer to the reset before it) only has to come; it is not read.
  char answer[kPromptAnswerSize + 1] = {};
  unsigned received = m_pPort->Read(answer, kPromptAnswerSize);
  answer[received] = '\0';
  // A prompt longer than the read leaves its tail behind; only what the modem says after
  // "y" may pass for "READY".
  m_pPort->PurgeRx();

  m_pPort->Write(cmd::kConfirmErase, CommandLength(cmd::kConfirmErase));
  for (std::uint32_t i = 1; i <= kEraseTicks; ++i) {
    m_pacing.Pause(kEraseTickMs);
    progress.Advance(i);
  }
  received = m_pPort->Read(answer, kReadyAnswerSize);
  answer[received] = '\0';
  if (!AnswerHolds(answer, received, marker::kReady)) return false;
  progress.EndPhase(ProgressPhase::kErase);
  return true;
}

CFirmwareUpdateCore::TransferResult CFirmwareUpdateCore::SendImage(IImageFile& file,
                                                                   IProgressView& progress,
                                                                   std::uint32_t& sent) {
  sent = 0;
  m_pacing.Pause(kShortPauseMs);
  m_pPort->PurgeRx();

  const std::uint32_t length = file.GetLength();
  progress.BeginPhase(ProgressPhase::kTransfer, length);
  ApplyTimeouts(*m_pPort, timeouts::kTransfer);

  std::vector<char> block(kTransferBlockSize);
  std::uint32_t remaining = length;
  while (remaining > 0) {
    // Never more than the length taken above: a file that grew meanwhile sends no extra bytes.
    const std::uint32_t want = std::min(remaining, kTransferBlockSize);
    std::uint32_t got = 0;
    if (!file.Read(block.data(), want, got) || got == 0) return TransferResult::kIncomplete;
    if (got > want) got = want;
    const std::uint32_t written = m_pPort->Write(block.data(), got);
    sent += written;
    if (written != got) return TransferResult::kIncomplete;
    remaining -= got;
    progress.Advance(sent);
    m_pacing.KeepAlive();
  }
  progress.EndPhase(ProgressPhase::kTransfer);

  char answer[kFinalAnswerSize + 1] = {};
  const unsigned received = m_pPort->Read(answer, kFinalAnswerSize);
  answer[received] = '\0';
  if (FindPattern(answer, received, marker::kOk) < 0) return TransferResult::kUnconfirmed;
  return TransferResult::kDone;
}

UpgradeOutcome CFirmwareUpdateCore::OnUpgrade(const UpgradeSeams& seams) {
  if (const std::optional<UpgradeOutcome> refused = ObtainConsent(seams)) {
    seams.controls.EnableUpgrade(false);
    return *refused;
  }
  m_pacing.Pause(kShortPauseMs);

  std::unique_ptr<IImageFile> file;
  m_pPort = std::make_unique<CComPort>(m_driver);
  if (!m_pPort->Open(PortName())) {
    BoxMessage message{BoxId::kCantOpenUpgradePort, ChosenPort()};
    message.openFailure = m_pPort->LastOpenFailure();
    seams.boxes.ShowMessageBox(message);
    EndUpgradeFailed(file, seams.controls);
    return Outcome(UpgradeResult::kCantOpenPort, 0, message.openFailure);
  }
  PreparePort(*m_pPort, timeouts::kUpgradePreparation);

  // An image that no longer opens ends the download without a word; the emptied file field
  // asks for a new choice.
  file = seams.files.OpenImageFile(m_strFileName);
  if (!file) {
    EndUpgradeFailed(file, seams.controls);
    return Outcome(UpgradeResult::kCantOpenImage);
  }
  // Only a warning: whatever the answer, the update goes on.
  seams.boxes.ShowMessageBox(BoxMessage(BoxId::kWarning));
  m_pacing.Pause(kAfterWarningPauseMs);

  // A device that went away shows the box the failure shows anyway; the outcome says why.
  if (!EraseFlash(seams.progress)) {
    const LineFailure why = m_pPort->LastLineFailure();
    seams.progress.CloseProgressWindow();
    BoxMessage message(BoxId::kNotReady, ChosenPort());
    message.lineFailure = why;
    seams.boxes.ShowMessageBox(message);
    EndUpgradeFailed(file, seams.controls);
    return Outcome(why == LineFailure::kDeviceGone ? UpgradeResult::kDeviceGoneErasing
                                                   : UpgradeResult::kNotReady);
  }

  std::uint32_t sent = 0;
  const TransferResult result = SendImage(*file, seams.progress, sent);
  if (result != TransferResult::kDone) {
    const bool incomplete = result == TransferResult::kIncomplete;
    const LineFailure why = m_pPort->LastLineFailure();
    BoxMessage message(incomplete ? BoxId::kTransferFailed : BoxId::kNotConfirmed, ChosenPort());
    message.lineFailure = why;
    seams.boxes.ShowMessageBox(message);
    seams.progress.CloseProgressWindow();
    EndUpgradeFailed(file, seams.controls);
    if (why == LineFailure::kDeviceGone) return Outcome(UpgradeResult::kDeviceGone, sent);
    return Outcome(incomplete ? UpgradeResult::kTransferIncomplete : UpgradeResult::kNotConfirmed,
                   sent);
  }

  seams.progress.CloseProgressWindow();
  m_pPort.reset();
  file.reset();
  seams.controls.EnableUpgrade(false);
  seams.boxes.ShowMessageBox(BoxMessage(BoxId::kSuccess));
  return Outcome(UpgradeResult::kDone, sent);
}
