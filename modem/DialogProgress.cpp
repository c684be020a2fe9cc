#include "modem/DialogProgress.h"

#include "modem/Texts.h"

void CDialogProgress::OpenProgressWindow() {
  m_saysUpdating = false;
  m_bar.OpenProgressWindow();
}

void CDialogProgress::CloseProgressWindow() { m_bar.CloseProgressWindow(); }

void CDialogProgress::BeginPhase(ProgressPhase phase, std::uint32_t total) {
  switch (phase) {
    case ProgressPhase::kErase:
      m_saysUpdating = false;
      m_bar.SetProgressRange(static_cast<std::uint16_t>(total));
      m_bar.SetProgressPos(0);
      m_bar.SetProgressStep(1);
      m_bar.SetProgressText(text::kErasing);
      break;
    case ProgressPhase::kTransfer:
      if (!m_saysUpdating) m_bar.SetProgressText(text::kUpdating);
      m_saysUpdating = true;
      // One step a block; an image of 64 MiB or more wraps the bar's 16-bit range, as the
      // control has always had it.
      m_bar.SetProgressRange(static_cast<std::uint16_t>(total / kTransferBlockSize));
      m_bar.SetProgressPos(0);
      m_bar.SetProgressStep(1);
      break;
  }
}

void CDialogProgress::Advance(std::uint32_t done) {
  m_bar.StepProgress();
  if (done == 0) m_bar.SetProgressPos(0);
}

void CDialogProgress::EndPhase(ProgressPhase phase) {
  if (phase != ProgressPhase::kErase) return;
  m_bar.SetProgressText(text::kUpdating);
  m_saysUpdating = true;
}
