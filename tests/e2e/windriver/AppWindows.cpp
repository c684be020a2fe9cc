#include "AppWindows.h"

namespace {

bool IsDialog(HWND hwnd) {
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  return std::string(cls) == "#32770";
}

struct EnumState {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM param) {
  auto* state = reinterpret_cast<EnumState*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == state->pid && IsWindowVisible(hwnd) && IsDialog(hwnd)) state->found.push_back(hwnd);
  return TRUE;
}

WindowKind Classify(HWND hwnd, HWND main, const std::string& aboutCaption) {
  if (hwnd == main) return WindowKind::kMain;
  if (GetDlgItem(hwnd, ids::kStatusText)) return WindowKind::kStatus;
  if (GetDlgItem(hwnd, ids::kProgressBar)) return WindowKind::kProgress;
  if (GetDlgItem(hwnd, ids::kFileNameCombo) || GetDlgItem(hwnd, ids::kFileNameEdit))
    return WindowKind::kFileDialog;
  if (ReadText(hwnd) == aboutCaption) return WindowKind::kAbout;
  // A message box is owned by the main dialog and keeps its text in static 0xFFFF.
  if (GetWindow(hwnd, GW_OWNER) == main && GetDlgItem(hwnd, ids::kBoxText))
    return WindowKind::kMessageBox;
  return WindowKind::kOther;
}

}  // namespace

const char* KindName(WindowKind kind) {
  switch (kind) {
    case WindowKind::kMain:
      return "main";
    case WindowKind::kStatus:
      return "status";
    case WindowKind::kProgress:
      return "progress";
    case WindowKind::kMessageBox:
      return "box";
    case WindowKind::kAbout:
      return "about";
    case WindowKind::kFileDialog:
      return "file-dialog";
    case WindowKind::kOther:
      return "other";
  }
  return "?";
}

std::string ReadText(HWND hwnd) {
  char buf[2048] = {};
  DWORD_PTR copied = 0;
  if (SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf),
                          SMTO_ABORTIFHUNG, 100, &copied))
    return std::string(buf, copied);
  wchar_t wide[2048] = {};
  int n = InternalGetWindowText(hwnd, wide, 2048);
  int len = WideCharToMultiByte(CP_ACP, 0, wide, n, buf, sizeof buf - 1, nullptr, nullptr);
  return std::string(buf, len > 0 ? len : 0);
}

bool Responds(HWND hwnd, UINT ms) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, ms, &result) != 0;
}

HWND FindDialogByCaption(const std::string& caption) {
  HWND hwnd = nullptr;
  while ((hwnd = FindWindowExA(nullptr, hwnd, "#32770", caption.c_str())) != nullptr)
    if (IsWindowVisible(hwnd)) return hwnd;
  return nullptr;
}

std::vector<AppWindow> ListAppWindows(HWND main, const std::string& aboutCaption) {
  EnumState state{0, {}};
  GetWindowThreadProcessId(main, &state.pid);
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&state));
  std::vector<AppWindow> windows;
  for (HWND hwnd : state.found) windows.push_back({hwnd, Classify(hwnd, main, aboutCaption)});
  return windows;
}

HWND FirstOfKind(const std::vector<AppWindow>& windows, WindowKind kind) {
  for (const AppWindow& w : windows)
    if (w.kind == kind) return w.hwnd;
  return nullptr;
}

std::vector<std::string> ButtonTexts(HWND dialog) {
  std::vector<std::string> texts;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char cls[32] = {};
    GetClassNameA(child, cls, sizeof cls);
    LONG style = GetWindowLongA(child, GWL_STYLE);
    LONG type = style & BS_TYPEMASK;
    if (lstrcmpiA(cls, "Button") != 0 || !IsWindowVisible(child)) continue;
    if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) continue;
    std::string text;
    for (char c : ReadText(child))
      if (c != '&') text += c;
    texts.push_back(text);
  }
  return texts;
}

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        out += c;
    }
  }
  return out + "\"";
}
