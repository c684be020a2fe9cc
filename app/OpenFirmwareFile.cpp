// Open: the user chooses the firmware image.
#include <windows.h>
#include <commdlg.h>

#include "app/FirmwareUpdateDlg.h"

void CFirmwareUpdateDlg::OnOpen() {
  char path[MAX_PATH] = "*.bin";
  char name[MAX_PATH] = "";
  char folder[MAX_PATH] = "";
  ::GetCurrentDirectoryA(sizeof folder, folder);

  // One filter entry. Its pattern is given in full: a list that stops after the entry's
  // text would leave the dialog reading past its end.
  static const char kFilter[] = "Firmware Files(*.bin)\0*.bin\0";

  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = m_hWnd;
  ofn.lpstrFilter = kFilter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = path;
  ofn.nMaxFile = sizeof path;
  ofn.lpstrFileTitle = name;
  ofn.nMaxFileTitle = sizeof name;
  ofn.lpstrInitialDir = folder;
  ofn.lpstrTitle = "Open firmware file";
  ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
  ofn.lpstrDefExt = "bin";

  // Without OFN_NOCHANGEDIR the chosen file's folder becomes the current folder, where the
  // image is later opened by its bare name.
  if (!::GetOpenFileNameA(&ofn)) return;
  OnFileChosen(name);
}
