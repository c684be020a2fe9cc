#pragma once
#include "app/BarShow.h"
#include "app/resources/resource.h"
#include "app/win/Dialog.h"

// A progress bar and one line of text for erase and transfer; modeless, made and closed by
// the download.
class CProgressDlg : public CDialog {
 public:
  enum { IDD = IDD_PROGRESS };
  // A step moves the bar on the screen at most this often (a full bar at once).
  static constexpr double kBarPaintIntervalMs = 100;

  CProgressDlg() : CDialog(IDD) {}

  // The bar's messages come through here. A step is counted and reaches the control with
  // ShowBar, called by the pauses and the gaps between blocks, so that the painting falls
  // inside them and no more often than the screen can tell (see BarShow.h).
  LRESULT SendDlgItemMessage(int id, UINT msg, WPARAM w = 0, LPARAM l = 0);
  // True when it painted.
  bool ShowBar(double nowMs);
  // The line of text; the window repaints only when it changes.
  void SetText(const std::string& text);

 protected:
  BOOL OnInitDialog() override;

 private:
  void SendBarPos(double nowMs);

  // Found once: looking a control up asks the window system every time.
  HWND m_hBar = nullptr;
  CBarShow m_bar{kBarPaintIntervalMs};
};
