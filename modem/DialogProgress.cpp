#include "modem/DialogProgress.h"

#include "modem/Texts.h"

void CDialogProgress::OpenProgressWindow() {
  m_inPhase = false;
  m_bar.OpenProgressWindow();
}

void CDialogProgress::CloseProgressWindow() {
  m_inPhase = false;
  m_bar.CloseProgressWindow();
}

void CDialogProgress::BeginPhase(const ProgressReport& r) {
  switch (r.phase) {
    case ProgressPhase::kErase:
      m_bar.SetProgressRange(static_cast<std::uint16_t>(r.total));
      m_bar.SetProgressPos(0);
      m_bar.SetProgressStep(1);
      m_bar.SetProgressText(text::kErasing);
      break;
    case ProgressPhase::kTransfer:
      m_bar.SetProgressText(text::kUpdating);
      // One step a block; an image of 64 MiB or more wraps the bar's 16-bit range, as the
      // control has always had it.
      m_bar.SetProgressRange(static_cast<std::uint16_t>(r.total / kTransferBlockSize));
      m_bar.SetProgressPos(0);
      m_bar.SetProgressStep(1);
      break;
  }
}

void CDialogProgress::ShowProgress(const ProgressReport& r) {
  if (!m_inPhase || r.phase != m_phase) {
    m_inPhase = true;
    m_phase = r.phase;
    m_done = 0;
    BeginPhase(r);
  }
  if (r.done > m_done) {
    m_bar.StepProgress();
  } else if (r.done < m_done) {
    m_bar.SetProgressPos(static_cast<int>(r.done));
  }
  m_done = r.done;
}
