#pragma once
#include "app/resources/resource.h"
#include "app/win/Dialog.h"

// The About box: its template says it all.
class CAboutDlg : public CDialog {
 public:
  enum { IDD = IDD_ABOUTBOX };
  explicit CAboutDlg(CWnd* parent = nullptr) : CDialog(IDD, parent) {}
};
