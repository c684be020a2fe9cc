#pragma once
// The application object: runs the main dialog modally; the process ends when it closes.

#include <windows.h>

class CWnd;

class CFirmwareUpdateApp {
 public:
  CFirmwareUpdateApp() = default;
  // Returns FALSE: there is no message loop of the application's own to enter.
  BOOL InitInstance();

  CWnd* m_pMainWnd = nullptr;
};

extern CFirmwareUpdateApp theApp;
