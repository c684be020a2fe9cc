#include "app/ProgressDlg.h"

#include <commctrl.h>

#include "app/win/MessagePump.h"

BOOL CProgressDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_hBar = GetDlgItem(IDC_PROGRESS);
  RECT client = {};
  ::GetClientRect(m_hBar, &client);
  m_bar.SetWidth(client.right - client.left);
  return TRUE;
}

LRESULT CProgressDlg::SendDlgItemMessage(int id, UINT msg, WPARAM w, LPARAM l) {
  if (id != IDC_PROGRESS || !m_hBar) return CDialog::SendDlgItemMessage(id, msg, w, l);
  const int before = m_bar.Pos();
  if (msg == PBM_STEPIT) {
    m_bar.Step();
    // A full bar shows at once: the erase's last step comes just before a read of a second
    // or more, with no pause to draw it in.
    if (m_bar.Full()) SendBarPos(PumpClockMs());
    return before;
  }
  if (msg == PBM_SETSTEP) m_bar.SetStep(static_cast<int>(w));
  const LRESULT result = ::SendMessageA(m_hBar, msg, w, l);
  if (msg == PBM_SETRANGE || msg == PBM_SETRANGE32) {
    PBRANGE range = {};
    ::SendMessageA(m_hBar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    m_bar.SetRange(range.iLow, range.iHigh);
  }
  // The control keeps a position within its range, and a new range may move it.
  if (msg == PBM_SETPOS || msg == PBM_DELTAPOS || msg == PBM_SETRANGE || msg == PBM_SETRANGE32) {
    m_bar.SetShown(static_cast<int>(::SendMessageA(m_hBar, PBM_GETPOS, 0, 0)));
    if (msg == PBM_SETPOS || msg == PBM_DELTAPOS) return before;
  }
  return result;
}

bool CProgressDlg::ShowBar(double nowMs) {
  if (!m_hBar || !m_bar.ShowNow(nowMs)) return false;
  SendBarPos(nowMs);
  return true;
}

void CProgressDlg::SendBarPos(double nowMs) {
  ::SendMessageA(m_hBar, PBM_SETPOS, static_cast<WPARAM>(m_bar.Pos()), 0);
  m_bar.Shown(nowMs);
}

void CProgressDlg::SetText(const std::string& text) {
  if (SetDlgItemText(IDC_PROGRESS_TEXT, text)) ::UpdateWindow(m_hWnd);
}
