#include "app/win/Wnd.h"

#include <vector>

LRESULT CWnd::SendDlgItemMessage(int id, UINT msg, WPARAM w, LPARAM l) const {
  return ::SendDlgItemMessageA(m_hWnd, id, msg, w, l);
}

bool CWnd::SetDlgItemText(int id, const std::string& text) {
  // The same text again would only repaint the control.
  if (GetDlgItemText(id) == text) return false;
  ::SetDlgItemTextA(m_hWnd, id, text.c_str());
  return true;
}

std::string CWnd::GetDlgItemText(int id) const {
  HWND item = GetDlgItem(id);
  if (!item) return std::string();
  std::vector<char> text(::GetWindowTextLengthA(item) + 1);
  int n = ::GetWindowTextA(item, text.data(), static_cast<int>(text.size()));
  return std::string(text.data(), n > 0 ? n : 0);
}

void CWnd::EnableDlgItem(int id, bool enable) {
  if (HWND item = GetDlgItem(id)) ::EnableWindow(item, enable ? TRUE : FALSE);
}

BOOL CWnd::ShowWindow(int cmd) { return m_hWnd ? ::ShowWindow(m_hWnd, cmd) : FALSE; }

int CWnd::MessageBox(const std::string& text, const std::string& caption, UINT type) {
  return ::MessageBoxA(m_hWnd, text.c_str(), caption.c_str(), type);
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  HWND h = m_hWnd;
  m_hWnd = nullptr;
  return ::DestroyWindow(h);
}
