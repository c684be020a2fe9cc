// The CPU benchmark's baseline: a modal dialog with a line of text and a progress bar, the
// size and font of the updater's progress window, that does nothing until it is ended.
// Whatever it costs under Wine is the floor for a dialog that shows a bar.
#include <windows.h>
#include <commctrl.h>

#include "bench/win/minimal_dialog.h"

namespace {

INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM w, LPARAM) {
  if (msg == WM_INITDIALOG) {
    ::SendDlgItemMessageA(dialog, IDC_MINIMAL_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    ::SendDlgItemMessageA(dialog, IDC_MINIMAL_BAR, PBM_SETPOS, 40, 0);
    return TRUE;
  }
  if (msg == WM_COMMAND && (LOWORD(w) == IDOK || LOWORD(w) == IDCANCEL)) {
    ::EndDialog(dialog, LOWORD(w));
    return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&controls);
  return static_cast<int>(
      ::DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MINIMAL), nullptr, DialogProc, 0));
}
