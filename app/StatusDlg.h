#pragma once
#include "app/resources/resource.h"
#include "app/win/Dialog.h"

// One line of text about the operation under way; modeless, made and closed by it.
class CStatusDlg : public CDialog {
 public:
  enum { IDD = IDD_STATUS };
  CStatusDlg() : CDialog(IDD) {}
};
