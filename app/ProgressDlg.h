#pragma once
#include "app/resources/resource.h"
#include "app/win/Dialog.h"

// A progress bar and one line of text for erase and transfer; modeless, made and closed by
// the download.
class CProgressDlg : public CDialog {
 public:
  enum { IDD = IDD_PROGRESS };
  CProgressDlg() : CDialog(IDD) {}

  // The bar's messages come through here. The control repaints on every step, at once; a
  // step is shown instead only when it moves the filled part by a pixel (a large image has
  // more blocks than the bar has pixels), and with the window's next update, so that the
  // painting falls inside the operation's pause rather than between two of them.
  LRESULT SendDlgItemMessage(int id, UINT msg, WPARAM w = 0, LPARAM l = 0);

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;

 private:
  enum { WM_SHOW_BAR_POS = WM_APP + 1 };
  int FilledWidth(int pos) const;

  // Found once: looking a control up asks the window system every time.
  HWND m_hBar = nullptr;
  int m_nBarWidth = 0;
  int m_nBarLower = 0;
  int m_nBarUpper = 100;
  int m_nBarStep = 10;
  int m_nBarPos = 0;    // the position stepped to
  int m_nShownPos = 0;  // the control's own
  bool m_bShowPending = false;
};
