#include "Driver.h"

#include <commctrl.h>

#include "AppWindows.h"
#include "DriverUtil.h"

using namespace drv;

const char* CDriver::Help() {
  return "main CAPTION MS        wait for the main dialog and work it from now on\n"
         "windows                list the program's visible dialogs\n"
         "text ID                text of a control (main dialog, then its pop-ups)\n"
         "enabled ID             1 or 0\n"
         "combo ID               entries and selection of a combo box\n"
         "click ID               press an enabled button of the main dialog\n"
         "select ID N            choose entry N of a combo box's list\n"
         "syscommand N           post WM_SYSCOMMAND N to the main dialog\n"
         "wait-control ID MS     wait for a window holding control ID\n"
         "wait-text ID TEXT MS   wait until control ID shows TEXT\n"
         "watch MS [until-text TEXT] [until-bar N] [until-range U]\n"
         "                       print status/progress texts and bar until a box, a dialog,\n"
         "                       idle, or the text (with bar position and range) given\n"
         "box MS                 wait for a message box and print it\n"
         "answer ok|cancel MS    answer the message box and wait until it closes\n"
         "close-about MS         press OK in the About box\n"
         "open-file PATH MS      choose PATH in the file dialog\n"
         "try-file PATH MS       name PATH in the file dialog; prints chose, or the box it\n"
         "                       refused it with (answered)\n"
         "cancel-file MS         cancel the file dialog\n"
         "bar                    position and upper bound of the progress bar\n"
         "wait-bar N MS          wait until the progress bar reaches N\n"
         "idle MS                wait until no pop-up or box is left and the dialog answers\n"
         "wait-exit MS           wait until the main dialog is gone\n"
         "front                  bring the main dialog to the front\n"
         "key K[+K...]           press keys (enter escape space alt up down a..z) as a user\n"
         "close-box              click the main dialog's close box with the mouse\n"
         "texts KIND             caption and texts of a window (main, about, box...)\n"
         "hold-file PATH         open PATH for writing, as another program would\n"
         "release-file           close it again\n"
         "sleep MS\n";
}

bool CDriver::Run(const std::vector<std::string>& a) {
  if (a.empty()) return true;
  const std::string& c = a[0];
  if (c == "sleep" && a.size() == 2) {
    Sleep(Number(a[1]));
    return true;
  }
  if (c == "help") {
    m_out(Help());
    return true;
  }
  if (c == "main" && a.size() == 3) return Main(a);
  struct Entry {
    const char* name;
    size_t args;
    bool (CDriver::*fn)(const std::vector<std::string>&);
  };
  static const Entry table[] = {
      {"windows", 1, &CDriver::Windows},
      {"text", 2, &CDriver::Text},
      {"enabled", 2, &CDriver::Enabled},
      {"combo", 2, &CDriver::Combo},
      {"click", 2, &CDriver::Click},
      {"syscommand", 2, &CDriver::SysCommand},
      {"select", 3, &CDriver::Select},
      {"wait-control", 3, &CDriver::WaitControl},
      {"wait-text", 4, &CDriver::WaitText},
      {"watch", 2, &CDriver::Watch},
      {"box", 2, &CDriver::Box},
      {"answer", 3, &CDriver::Answer},
      {"close-about", 2, &CDriver::CloseAbout},
      {"open-file", 3, &CDriver::OpenFile},
      {"cancel-file", 2, &CDriver::CancelFile},
      {"bar", 1, &CDriver::Bar},
      {"wait-bar", 3, &CDriver::WaitBar},
      {"idle", 2, &CDriver::Idle},
      {"wait-exit", 2, &CDriver::WaitExit},
      {"try-file", 3, &CDriver::TryFile},
      {"front", 1, &CDriver::Front},
      {"key", 2, &CDriver::PressKeys},
      {"close-box", 1, &CDriver::ClickCloseBox},
      {"texts", 2, &CDriver::Texts},
      {"hold-file", 2, &CDriver::HoldFile},
      {"release-file", 1, &CDriver::ReleaseFile},
  };
  for (const Entry& e : table) {
    if (c != e.name) continue;
    bool optional = c == "watch";  // watch takes key-value pairs after its time-out
    if (optional ? a.size() < e.args || (a.size() - e.args) % 2 != 0 : a.size() != e.args)
      return Fail("wrong number of arguments for " + c);
    // The main dialog may already be gone when waiting for the program to end.
    bool ready = c == "wait-exit" ? m_main != nullptr || Fail("no main dialog yet") : NeedMain();
    if (!ready) return false;
    return (this->*e.fn)(a);
  }
  return Fail("unknown command " + c + " (try help)");
}

bool CDriver::Fail(const std::string& why) {
  m_out("fail: " + why);
  return false;
}

bool CDriver::NeedMain() {
  if (m_main && IsWindow(m_main)) return true;
  return Fail(m_main ? "the main dialog is gone" : "no main dialog yet (use main)");
}

bool CDriver::Main(const std::vector<std::string>& a) {
  DWORD start = GetTickCount();
  while (!(m_main = FindDialogByCaption(a[1]))) {
    if (Expired(start, Number(a[2]))) return Fail("no dialog " + Quote(a[1]));
    Sleep(kPollMs);
  }
  m_out("main " + Quote(a[1]));
  return true;
}

bool CDriver::Windows(const std::vector<std::string>&) {
  for (const AppWindow& w : ListAppWindows(m_main, m_aboutCaption))
    m_out(std::string("window ") + KindName(w.kind) + " " + Quote(ReadText(w.hwnd)));
  return true;
}

HWND CDriver::FindControl(int id) {
  if (HWND h = GetDlgItem(m_main, id)) return h;
  for (const AppWindow& w : ListAppWindows(m_main, m_aboutCaption))
    if (HWND h = GetDlgItem(w.hwnd, id)) return h;
  return nullptr;
}

bool CDriver::Text(const std::vector<std::string>& a) {
  HWND h = FindControl(Number(a[1]));
  if (!h) return Fail("no control " + a[1]);
  m_out("text " + a[1] + " " + Quote(ReadText(h)));
  return true;
}

bool CDriver::Enabled(const std::vector<std::string>& a) {
  HWND h = FindControl(Number(a[1]));
  if (!h) return Fail("no control " + a[1]);
  m_out("enabled " + a[1] + " " + (IsWindowEnabled(h) ? "1" : "0"));
  return true;
}

bool CDriver::Combo(const std::vector<std::string>& a) {
  HWND h = FindControl(Number(a[1]));
  if (!h) return Fail("no control " + a[1]);
  DWORD_PTR count = 0, sel = 0;
  if (!SendMessageTimeoutW(h, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 1000, &count) ||
      !SendMessageTimeoutW(h, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 1000, &sel))
    return Fail("combo " + a[1] + " does not answer");
  std::string line = "combo " + a[1] + " sel=" + std::to_string(static_cast<int>(sel));
  for (DWORD_PTR i = 0; i<count&& static_cast<int>(count)> 0; ++i) {
    wchar_t wide[256] = {};
    DWORD_PTR len = 0;
    SendMessageTimeoutW(h, CB_GETLBTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 1000, &len);
    if (len >= 256) return Fail("combo entry too long");
    SendMessageTimeoutW(h, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide), SMTO_ABORTIFHUNG, 1000,
                        &len);
    char text[256] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    line += " " + Quote(text);
  }
  m_out(line);
  return true;
}

bool CDriver::Click(const std::vector<std::string>& a) {
  HWND h = GetDlgItem(m_main, Number(a[1]));
  if (!h) return Fail("no button " + a[1]);
  // Wine would fire BM_CLICK on a disabled button too; a user cannot.
  if (!IsWindowEnabled(h)) return Fail("button " + a[1] + " is disabled");
  std::string caption = ReadText(h);
  PostMessageA(h, BM_CLICK, 0, 0);
  m_out("clicked " + a[1] + " " + Quote(caption));
  return true;
}

bool CDriver::Select(const std::vector<std::string>& a) {
  HWND h = GetDlgItem(m_main, Number(a[1]));
  if (!h) return Fail("no combo box " + a[1]);
  if (!IsWindowEnabled(h)) return Fail("combo box " + a[1] + " is disabled");
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(h, CB_SETCURSEL, Number(a[2]), 0, SMTO_ABORTIFHUNG, 1000, &result) ||
      static_cast<int>(result) != Number(a[2]))
    return Fail("combo box " + a[1] + " has no entry " + a[2]);
  // Choosing from the list notifies the dialog; setting the selection alone does not.
  PostMessageA(m_main, WM_COMMAND, MAKEWPARAM(Number(a[1]), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(h));
  m_out("selected " + a[1] + " " + a[2] + " " + Quote(ReadText(h)));
  return true;
}

bool CDriver::SysCommand(const std::vector<std::string>& a) {
  PostMessageA(m_main, WM_SYSCOMMAND, Number(a[1]), 0);
  m_out("syscommand " + a[1]);
  return true;
}
