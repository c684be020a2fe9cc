// The operations' view of the windows: status and progress pop-ups, boxes, the main
// dialog's controls, pauses that keep the windows alive, and the image file.
#include <windows.h>
#include <commctrl.h>

#include "app/DialogBoxStyle.h"
#include "app/FirmwareUpdateDlg.h"
#include "app/win/MessagePump.h"
#include "image/win32/Win32ImageFile.h"
#include "modem/MessageTexts.h"

void CFirmwareUpdateDlg::OpenStatusWindow() {
  CloseStatusWindow();
  m_pStatusDlg = std::make_unique<CStatusDlg>();
  m_pStatusDlg->Create(CStatusDlg::IDD, this);
  m_pStatusDlg->ShowWindow(SW_SHOW);
  ::UpdateWindow(m_pStatusDlg->GetSafeHwnd());
}

void CFirmwareUpdateDlg::ShowStatus(const StatusMessage& message) {
  if (!m_pStatusDlg) return;
  if (m_pStatusDlg->SetDlgItemText(IDC_STATUS_TEXT, StatusText(message)))
    ::UpdateWindow(m_pStatusDlg->GetSafeHwnd());
}

void CFirmwareUpdateDlg::CloseStatusWindow() {
  if (!m_pStatusDlg) return;
  m_pStatusDlg->DestroyWindow();
  m_pStatusDlg.reset();
}

void CFirmwareUpdateDlg::OpenProgressWindow() {
  CloseProgressWindow();
  m_pProgressDlg = std::make_unique<CProgressDlg>();
  m_pProgressDlg->Create(CProgressDlg::IDD, this);
  m_pProgressDlg->ShowWindow(SW_SHOW);
  ::UpdateWindow(m_pProgressDlg->GetSafeHwnd());
}

void CFirmwareUpdateDlg::SetProgressText(const std::string& text) {
  if (!m_pProgressDlg) return;
  m_pProgressDlg->SetText(text);
}

LRESULT CFirmwareUpdateDlg::SendProgressMessage(UINT msg, WPARAM w, LPARAM l) {
  return m_pProgressDlg ? m_pProgressDlg->SendDlgItemMessage(IDC_PROGRESS, msg, w, l) : 0;
}

void CFirmwareUpdateDlg::SetProgressRange(std::uint16_t upper) {
  SendProgressMessage(PBM_SETRANGE, 0, MAKELPARAM(0, upper));
}

void CFirmwareUpdateDlg::SetProgressPos(int pos) { SendProgressMessage(PBM_SETPOS, pos, 0); }

void CFirmwareUpdateDlg::SetProgressStep(int step) { SendProgressMessage(PBM_SETSTEP, step, 0); }

void CFirmwareUpdateDlg::StepProgress() { SendProgressMessage(PBM_STEPIT, 0, 0); }

void CFirmwareUpdateDlg::CloseProgressWindow() {
  if (!m_pProgressDlg) return;
  m_pProgressDlg->DestroyWindow();
  m_pProgressDlg.reset();
}

int CFirmwareUpdateDlg::ShowMessageBox(const BoxMessage& message) {
  const DialogBoxStyle style = BoxStyle(message.id);
  return MessageBox(BoxText(message), style.caption, style.type);
}

void CFirmwareUpdateDlg::EnableUpgrade(bool enable) { EnableDlgItem(IDC_UPGRADE, enable); }

void CFirmwareUpdateDlg::SetFileNameText(const std::string& text) {
  SetDlgItemText(IDC_FILENAME, text);
}

void CFirmwareUpdateDlg::SelectPort(int index) {
  SendDlgItemMessage(IDC_PORT, CB_SETCURSEL, static_cast<WPARAM>(index));
}

void CFirmwareUpdateDlg::Pause(std::uint32_t ms) {
  // The pause starts before the bar is drawn: the painting takes its time from the pause,
  // never from the line.
  const double start = PumpClockMs();
  if (m_pProgressDlg) m_pProgressDlg->ShowBar(start);
  WaitPumpingWithoutInputUntil(start + ms);
}

// Every block asks for it; the windows are served at a bounded rate, since each look at the
// queue is a round trip to the window server. At 115200 baud a block takes about 90 ms, so
// every block still serves them: other programs reading the windows wait no longer than that.
void CFirmwareUpdateDlg::KeepAlive() {
  const double now = PumpClockMs();
  if (now - m_lastKeepAliveMs < kKeepAliveIntervalMs) return;
  m_lastKeepAliveMs = now;
  PumpWithoutInput();
  // What came meanwhile is answered in the same gap: a program that reads the windows asks
  // its next question as soon as the last is answered, while the bar paints.
  if (m_pProgressDlg && m_pProgressDlg->ShowBar(now)) PumpWithoutInput();
}

std::unique_ptr<IImageFile> CFirmwareUpdateDlg::OpenImageFile(const std::string& name) {
  return CWin32ImageFile::Open(name);
}
