// Commands that act as the user's keyboard and mouse (real input, through the window
// system's queue, not messages posted to a control), and as another program that holds a
// file open.
#include "Driver.h"

#include "AppWindows.h"
#include "DriverUtil.h"

using namespace drv;

namespace {

WORD KeyCode(const std::string& name) {
  if (name == "enter") return VK_RETURN;
  if (name == "escape") return VK_ESCAPE;
  if (name == "space") return VK_SPACE;
  if (name == "alt") return VK_MENU;
  if (name == "up") return VK_UP;
  if (name == "down") return VK_DOWN;
  if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z') return WORD(name[0] - 'a' + 'A');
  return 0;
}

INPUT Key(WORD vk, bool up) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

INPUT Mouse(DWORD flags, int x, int y) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
  return in;
}

}  // namespace

bool CDriver::Front(const std::vector<std::string>&) {
  SetForegroundWindow(m_main);
  DWORD start = GetTickCount();
  while (GetForegroundWindow() != m_main) {
    if (Expired(start, 2000)) return Fail("the main dialog does not come to the front");
    Sleep(kPollMs);
  }
  // Keys go to the control with the focus: name it.
  GUITHREADINFO gui = {};
  gui.cbSize = sizeof gui;
  GetGUIThreadInfo(GetWindowThreadProcessId(m_main, nullptr), &gui);
  m_out("front focus=" + std::to_string(gui.hwndFocus ? GetDlgCtrlID(gui.hwndFocus) : 0) +
        (gui.hwndActive == m_main ? " active" : " not-active"));
  return true;
}

bool CDriver::PressKeys(const std::vector<std::string>& a) {
  // "alt+space": each key goes down in order and comes up in reverse.
  std::vector<WORD> keys;
  for (size_t at = 0; at <= a[1].size();) {
    size_t plus = a[1].find('+', at);
    if (plus == std::string::npos) plus = a[1].size();
    WORD vk = KeyCode(a[1].substr(at, plus - at));
    if (!vk) return Fail("unknown key in " + a[1]);
    keys.push_back(vk);
    at = plus + 1;
  }
  std::vector<INPUT> inputs;
  for (WORD vk : keys) inputs.push_back(Key(vk, false));
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) inputs.push_back(Key(*it, true));
  if (SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size())
    return Fail("the keys were not taken");
  m_out("pressed " + a[1]);
  return true;
}

bool CDriver::ClickCloseBox(const std::vector<std::string>&) {
  // Where the window itself says its close box is, along the caption bar.
  RECT r;
  GetWindowRect(m_main, &r);
  const int y = r.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
  int x = r.right - 1;
  DWORD_PTR hit = HTNOWHERE;
  for (; x > r.left; --x) {
    if (!SendMessageTimeoutA(m_main, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000,
                             &hit))
      return Fail("the main dialog does not answer a hit test");
    if (hit == HTCLOSE) break;
  }
  if (hit != HTCLOSE) return Fail("no close box on the caption bar");
  x -= GetSystemMetrics(SM_CXSIZE) / 3;  // well inside the box, not on its edge
  // At a hand's pace: the pointer arrives, rests, then the button goes down and up.
  for (DWORD flags : {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
    INPUT in = Mouse(flags, x, y);
    if (SendInput(1, &in, sizeof(INPUT)) != 1) return Fail("the click was not taken");
    Sleep(100);
  }
  m_out("clicked the close box at " + std::to_string(x) + "," + std::to_string(y));
  return true;
}

bool CDriver::Texts(const std::vector<std::string>& a) {
  HWND dlg = nullptr;
  for (const AppWindow& w : ListAppWindows(m_main, m_aboutCaption))
    if (a[1] == KindName(w.kind)) dlg = w.hwnd;
  if (!dlg) return Fail("no " + a[1] + " window");
  std::string line = "texts " + Quote(ReadText(dlg));
  for (HWND child = GetWindow(dlg, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    std::string text = ReadText(child);
    if (!text.empty()) line += " " + Quote(text);
  }
  m_out(line);
  return true;
}

bool CDriver::HoldFile(const std::vector<std::string>& a) {
  if (m_hHeldFile != INVALID_HANDLE_VALUE) CloseHandle(m_hHeldFile);
  // As an editor that writes the file and lets others read and write it too: only a
  // program that asks for the file alone is refused.
  m_hHeldFile = CreateFileA(a[1].c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (m_hHeldFile == INVALID_HANDLE_VALUE) return Fail("cannot open " + Quote(a[1]));
  m_out("holding " + Quote(a[1]));
  return true;
}

bool CDriver::ReleaseFile(const std::vector<std::string>&) {
  if (m_hHeldFile == INVALID_HANDLE_VALUE) return Fail("no file held");
  CloseHandle(m_hHeldFile);
  m_hHeldFile = INVALID_HANDLE_VALUE;
  m_out("released");
  return true;
}
