#include "app/ProgressDlg.h"

#include <commctrl.h>

BOOL CProgressDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_hBar = GetDlgItem(IDC_PROGRESS);
  RECT client = {};
  ::GetClientRect(m_hBar, &client);
  m_nBarWidth = client.right - client.left;
  return TRUE;
}

LRESULT CProgressDlg::SendDlgItemMessage(int id, UINT msg, WPARAM w, LPARAM l) {
  if (id != IDC_PROGRESS || !m_hBar) return CDialog::SendDlgItemMessage(id, msg, w, l);
  const int before = m_nBarPos;
  if (msg == PBM_STEPIT) {
    // Past its upper bound the bar starts over from its lower one, as the control does.
    const int stepped = m_nBarPos + m_nBarStep;
    m_nBarPos = stepped > m_nBarUpper ? m_nBarLower : stepped;
    // A full bar shows at once: the erase's last step comes just before a read of a second
    // or more, with no pause to draw it in.
    if (m_nBarPos == m_nBarUpper && m_nShownPos != m_nBarPos) {
      ::SendMessageA(m_hBar, PBM_SETPOS, static_cast<WPARAM>(m_nBarPos), 0);
      m_nShownPos = m_nBarPos;
      return before;
    }
    if (!m_bShowPending && FilledWidth(m_nBarPos) != FilledWidth(m_nShownPos))
      m_bShowPending = ::PostMessageA(m_hWnd, WM_SHOW_BAR_POS, 0, 0) != FALSE;
    return before;
  }
  if (msg == PBM_SETSTEP) m_nBarStep = static_cast<int>(w);
  const LRESULT result = ::SendMessageA(m_hBar, msg, w, l);
  if (msg == PBM_SETRANGE || msg == PBM_SETRANGE32) {
    PBRANGE range = {};
    ::SendMessageA(m_hBar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    m_nBarLower = range.iLow;
    m_nBarUpper = range.iHigh;
  }
  // The control keeps a position within its range, and a new range may move it.
  if (msg == PBM_SETPOS || msg == PBM_DELTAPOS || msg == PBM_SETRANGE || msg == PBM_SETRANGE32) {
    m_nBarPos = m_nShownPos = static_cast<int>(::SendMessageA(m_hBar, PBM_GETPOS, 0, 0));
    if (msg == PBM_SETPOS || msg == PBM_DELTAPOS) return before;
  }
  return result;
}

bool CProgressDlg::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT&) {
  if (msg != WM_SHOW_BAR_POS) return false;
  m_bShowPending = false;
  if (m_nBarPos != m_nShownPos) {
    ::SendMessageA(m_hBar, PBM_SETPOS, static_cast<WPARAM>(m_nBarPos), 0);
    m_nShownPos = m_nBarPos;
  }
  return true;
}

// How much of the bar is filled, in pixels: what the user sees of its position.
int CProgressDlg::FilledWidth(int pos) const {
  const int span = m_nBarUpper - m_nBarLower;
  return span > 0 ? ::MulDiv(pos - m_nBarLower, m_nBarWidth, span) : 0;
}
