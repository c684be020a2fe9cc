#pragma once
#include "app/resources/resource.h"
#include "app/win/BarPainting.h"
#include "app/win/Dialog.h"

// A progress bar and one line of text for erase and transfer; modeless, made and closed by
// the download.
class CProgressDlg : public CDialog {
 public:
  enum { IDD = IDD_PROGRESS };
  CProgressDlg() : CDialog(IDD) {}

 protected:
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    PaintBarOnlyWhenItMoves(GetDlgItem(IDC_PROGRESS));
    return TRUE;
  }
};
