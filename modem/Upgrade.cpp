// Upgrade: compare versions and ask for consent, erase the flash, stream the image, report.

#include <algorithm>
#include <cstring>
#include <vector>

#include "modem/FirmwareUpdateCore.h"
#include "modem/Format.h"
#include "modem/ModemCommands.h"
#include "modem/PortSetup.h"
#include "modem/Texts.h"
#include "record/Fields.h"

namespace {

constexpr std::uint32_t kBeforeQueryPauseMs = 500;
constexpr std::uint32_t kShortPauseMs = 100;
constexpr std::uint32_t kAfterWarningPauseMs = 500;
constexpr std::uint32_t kAfterResetPauseMs = 500;
constexpr std::uint32_t kErasePromptPauseMs = 2000;
constexpr int kEraseTicks = 100;  // 100 x 100 ms: the ten seconds the modem needs to erase
constexpr std::uint32_t kEraseTickMs = 100;

constexpr unsigned kPromptAnswerSize = 60;
constexpr unsigned kReadyAnswerSize = 20;
constexpr unsigned kFinalAnswerSize = 4;
constexpr std::uint32_t kTransferBlockSize = 1024;

// Looks at the answer as text: up to its first zero byte.
bool AnswerHolds(const char* answer, unsigned received, const char* marker) {
  return FindPattern(answer, static_cast<unsigned>(strnlen(answer, received)), marker) >= 0;
}

}  // namespace

bool CFirmwareUpdateCore::ObtainConsent() {
  FirmwareVersionInfo image;
  FirmwareVersionInfo modem;

  m_status.OpenStatusWindow();
  m_status.SetStatusText(text::kReadingImage);
  if (!ReadFirmwareFileInfo(image)) {
    m_status.CloseStatusWindow();
    m_boxes.ShowMessageBox(text::kIncorrectImage, text::kCaptionError, box::kOk | box::kIconError);
    return false;
  }
  m_pacing.Pause(kBeforeQueryPauseMs);
  m_status.SetStatusText(text::kQueryingModem);
  if (!QueryModemInfo(modem)) {
    m_status.CloseStatusWindow();
    m_boxes.ShowMessageBox(text::kCantQueryModem, text::kCaptionError, box::kOk | box::kIconError);
    return false;
  }
  m_status.CloseStatusWindow();
  m_pacing.Pause(kShortPauseMs);

  // The user compares the versions and decides; nothing is judged here.
  const std::string comparison = FormatText(
      text::kComparison, modem.controllerVersion, modem.controllerDate, modem.dspVersion,
      modem.dspDate, image.controllerVersion, image.controllerDate, image.dspVersion,
      image.dspDate);
  return m_boxes.ShowMessageBox(comparison, text::kCaptionConsent, box::kOkCancel | box::kIconQuestion) ==
         box::kIdOk;
}

void CFirmwareUpdateCore::EndUpgradeFailed(std::unique_ptr<IImageFile>& file) {
  m_pPort.reset();
  file.reset();
  // The chosen name stays in m_strFileName; the field is emptied so the user chooses again.
  m_controls.SetFileNameText("");
  m_controls.EnableUpgrade(false);
}

bool CFirmwareUpdateCore::EraseFlash() {
  m_progress.OpenProgressWindow();
  m_progress.SetProgressRange(100);
  m_progress.SetProgressPos(0);
  m_progress.SetProgressStep(1);
  m_progress.SetProgressText(text::kErasing);

  m_pPort->Write(cmd::kReset, CommandLength(cmd::kReset));
  m_pacing.Pause(kAfterResetPauseMs);
  ApplyTimeouts(*m_pPort, timeouts::kErase);
  m_pPort->Write(cmd::kEraseFlash, CommandLength(cmd::kEraseFlash));
  m_progress.StepProgress();
  m_progress.SetProgressPos(0);
  m_pacing.Pause(kErasePromptPauseMs);

  // The prompt (and the answer to the reset before it) only has to come; it is not read.
  char answer[kPromptAnswerSize + 1] = {};
  unsigned received = m_pPort->Read(answer, kPromptAnswerSize);
  answer[received] = '\0';
  // A prompt longer than the read leaves its tail behind; only what the modem says after
  // "y" may pass for "READY".
  m_pPort->PurgeRx();

  m_pPort->Write(cmd::kConfirmErase, CommandLength(cmd::kConfirmErase));
  for (int i = 0; i < kEraseTicks; ++i) {
    m_pacing.Pause(kEraseTickMs);
    m_progress.StepProgress();
  }
  received = m_pPort->Read(answer, kReadyAnswerSize);
  answer[received] = '\0';
  return AnswerHolds(answer, received, marker::kReady);
}

CFirmwareUpdateCore::TransferResult CFirmwareUpdateCore::SendImage(IImageFile& file) {
  m_progress.SetProgressText(text::kUpdating);
  m_pacing.Pause(kShortPauseMs);
  m_pPort->PurgeRx();

  const std::uint32_t length = file.GetLength();
  m_progress.SetProgressRange(static_cast<std::uint16_t>(length / kTransferBlockSize));
  m_progress.SetProgressPos(0);
  m_progress.SetProgressStep(1);
  ApplyTimeouts(*m_pPort, timeouts::kTransfer);

  std::vector<char> block(kTransferBlockSize);
  std::uint32_t remaining = length;
  while (remaining > 0) {
    // Never more than the length taken above: a file that grew meanwhile sends no extra bytes.
    const std::uint32_t want = std::min(remaining, kTransferBlockSize);
    std::uint32_t got = 0;
    if (!file.Read(block.data(), want, got) || got == 0) return TransferResult::kIncomplete;
    if (got > want) got = want;
    if (m_pPort->Write(block.data(), got) != got) return TransferResult::kIncomplete;
    remaining -= got;
    m_progress.StepProgress();
    m_pacing.KeepAlive();
  }

  char answer[kFinalAnswerSize + 1] = {};
  const unsigned received = m_pPort->Read(answer, kFinalAnswerSize);
  answer[received] = '\0';
  if (FindPattern(answer, received, marker::kOk) < 0) return TransferResult::kUnconfirmed;
  return TransferResult::kDone;
}

void CFirmwareUpdateCore::OnUpgrade() {
  if (!ObtainConsent()) {
    m_controls.EnableUpgrade(false);
    return;
  }
  m_pacing.Pause(kShortPauseMs);

  std::unique_ptr<IImageFile> file;
  m_pPort = std::make_unique<CComPort>(m_driver);
  if (!m_pPort->Open(m_nPortIndex)) {
    m_boxes.ShowMessageBox(FormatText(text::kCantOpenPort, m_nPortIndex + 1), text::kCaptionErrorUpper,
                   box::kOk);
    EndUpgradeFailed(file);
    return;
  }
  PreparePort(*m_pPort, timeouts::kUpgradePreparation);

  file = m_files.OpenImageFile(m_strFileName);
  if (!file) {
    m_boxes.ShowMessageBox(text::kCantOpenImage, text::kCaptionErrorUpper, box::kOk | box::kIconError);
    EndUpgradeFailed(file);
    return;
  }
  // Only a warning: whatever the answer, the update goes on.
  m_boxes.ShowMessageBox(text::kWarning, text::kCaptionWarning, box::kOk | box::kIconExclamation);
  m_pacing.Pause(kAfterWarningPauseMs);

  if (!EraseFlash()) {
    m_progress.CloseProgressWindow();
    m_boxes.ShowMessageBox(text::kNotReady, text::kCaptionErrorUpper, box::kOk | box::kIconError);
    EndUpgradeFailed(file);
    return;
  }

  const TransferResult result = SendImage(*file);
  if (result != TransferResult::kDone) {
    m_boxes.ShowMessageBox(result == TransferResult::kIncomplete ? text::kTransferFailed
                                                         : text::kNotConfirmed,
                   text::kCaptionErrorUpper, box::kOk | box::kIconError);
    m_progress.CloseProgressWindow();
    EndUpgradeFailed(file);
    return;
  }

  m_progress.CloseProgressWindow();
  m_pPort.reset();
  file.reset();
  m_controls.EnableUpgrade(false);
  m_boxes.ShowMessageBox(text::kSuccess, text::kCaptionSuccess, box::kOk);
}
