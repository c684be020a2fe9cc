#include "app/win/MessagePump.h"

namespace {

bool IsUserInput(UINT m) {
  return (m >= WM_KEYFIRST && m <= WM_KEYLAST) || (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) ||
         (m >= WM_NCMOUSEMOVE && m <= WM_NCXBUTTONDBLCLK) || m == WM_NCMOUSEHOVER ||
         m == WM_NCMOUSELEAVE || m == WM_MOUSEHOVER || m == WM_MOUSELEAVE;
}

// Posted, these come from another program clicking for the user; taken now they would run
// a second handler inside the running one.
bool IsPostedCommand(UINT m) {
  return m == WM_COMMAND || m == WM_SYSCOMMAND || m == WM_CLOSE || m == BM_CLICK;
}

bool g_quitSeen = false;

double NowMs() {
  LARGE_INTEGER freq, now;
  ::QueryPerformanceFrequency(&freq);
  ::QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

}  // namespace

void PumpWithoutInput() {
  if (g_quitSeen) return;
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Left for the modal loop; pumping further would take it again at once.
      g_quitSeen = true;
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (IsUserInput(msg.message) || IsPostedCommand(msg.message)) continue;
    ::DispatchMessageA(&msg);
  }
}

void WaitPumpingWithoutInput(DWORD ms) {
  const double end = NowMs() + ms;
  for (;;) {
    PumpWithoutInput();
    const double left = end - NowMs();
    if (left <= 0) break;
    // Small slices, so that a burst of messages never stretches the wait much.
    const DWORD slice = left < 10 ? static_cast<DWORD>(left) + 1 : 10;
    if (g_quitSeen)
      ::Sleep(slice);
    else
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, slice, QS_ALLINPUT);
  }
}
