#include "app/FirmwareUpdateApp.h"

#include <windows.h>
#include <commctrl.h>

#include "app/FirmwareUpdateDlg.h"

CFirmwareUpdateApp theApp;

BOOL CFirmwareUpdateApp::InitInstance() {
  // The progress window's bar is a common control.
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&icc);

  CFirmwareUpdateDlg dlg;
  m_pMainWnd = &dlg;
  dlg.DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}

// The command line is not used.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  theApp.InitInstance();
  return 0;
}
