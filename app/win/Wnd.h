#pragma once
// The window calls the dialogs need, on a window handle owned by the object.

#include <windows.h>

#include <string>

class CWnd {
 public:
  CWnd() = default;
  virtual ~CWnd() = default;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND GetSafeHwnd() const { return m_hWnd; }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  LRESULT SendDlgItemMessage(int id, UINT msg, WPARAM w = 0, LPARAM l = 0) const;
  // False when the control already shows the text: then nothing is sent or repainted.
  bool SetDlgItemText(int id, const std::string& text);
  std::string GetDlgItemText(int id) const;
  void EnableDlgItem(int id, bool enable);
  BOOL ShowWindow(int cmd);
  // A box owned by this window; returns the button pressed.
  int MessageBox(const std::string& text, const std::string& caption, UINT type);
  virtual BOOL DestroyWindow();

 protected:
  HWND m_hWnd = nullptr;
};
