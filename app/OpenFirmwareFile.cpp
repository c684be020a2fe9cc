// Open: the user chooses the firmware image.
#include <windows.h>
#include <commdlg.h>

#include <string>

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

  if (!::GetOpenFileNameA(&ofn)) {
    // Browsing may have moved the current folder; the file chosen before is opened by its
    // bare name from there, so a cancelled choice must leave it where it was.
    ::SetCurrentDirectoryA(folder);
    return;
  }

  // The image is later opened by its bare name, so its folder must be the current one. Not
  // every file dialog makes it so (a typed full path leaves the folder as it was under
  // Wine): set it here, as the dialog would.
  if (ofn.nFileOffset > 0 && ofn.nFileOffset < sizeof path) {
    std::string folderOfFile(path, ofn.nFileOffset);
    ::SetCurrentDirectoryA(folderOfFile.c_str());
  }
  m_core.OnFileChosen(name, *this);
}
