#include "app/win/BarPainting.h"

#include <commctrl.h>

namespace {

// How much of the bar is filled, in pixels: what the user sees of its position.
int FilledWidth(HWND bar) {
  PBRANGE range = {};
  ::SendMessageA(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  const int pos = static_cast<int>(::SendMessageA(bar, PBM_GETPOS, 0, 0));
  RECT client;
  ::GetClientRect(bar, &client);
  const int span = range.iHigh - range.iLow;
  return span > 0 ? ::MulDiv(pos - range.iLow, client.right - client.left, span) : 0;
}

bool MovesTheBar(UINT msg) {
  return msg == PBM_SETPOS || msg == PBM_DELTAPOS || msg == PBM_STEPIT || msg == PBM_SETRANGE ||
         msg == PBM_SETRANGE32;
}

LRESULT CALLBACK BarProc(HWND bar, UINT msg, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR) {
  if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(bar, BarProc, id);
  if (!MovesTheBar(msg)) return ::DefSubclassProc(bar, msg, w, l);
  // A repaint already due (the bar was uncovered, say) is kept.
  const bool due = ::GetUpdateRect(bar, nullptr, FALSE) != FALSE;
  const int before = FilledWidth(bar);
  ::DefSubclassProc(bar, WM_SETREDRAW, FALSE, 0);
  const LRESULT result = ::DefSubclassProc(bar, msg, w, l);
  ::DefSubclassProc(bar, WM_SETREDRAW, TRUE, 0);
  if (due || FilledWidth(bar) != before) ::InvalidateRect(bar, nullptr, TRUE);
  return result;
}

}  // namespace

void PaintBarOnlyWhenItMoves(HWND bar) {
  if (bar) ::SetWindowSubclass(bar, BarProc, 0, 0);
}
