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

}  // namespace

double PumpClockMs() {
  LARGE_INTEGER freq, now;
  ::QueryPerformanceFrequency(&freq);
  ::QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

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

void WaitPumpingWithoutInput(DWORD ms) { WaitPumpingWithoutInputUntil(PumpClockMs() + ms); }

void WaitPumpingWithoutInputUntil(double endMs) {
  for (;;) {
    const double left = endMs - PumpClockMs();
    if (left <= 0) break;
    // Sleeps for all the time left and wakes only for a message: waiting costs no CPU.
    // Rounded up, so the last fraction of a millisecond is not spun away.
    const DWORD wait = static_cast<DWORD>(left) + 1;
    if (g_quitSeen) {
      ::Sleep(wait);
      continue;
    }
    // Messages already queued, seen or not, end the wait at once (MWMO_INPUTAVAILABLE), so
    // the queue is looked at only when it holds something: a quiet pause is one wait.
    if (::MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
        WAIT_OBJECT_0)
      PumpWithoutInput();
  }
}
