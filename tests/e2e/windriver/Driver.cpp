#include "Driver.h"

#include <commctrl.h>

#include <cstdlib>

#include "AppWindows.h"

namespace {

// Pace of every polling loop: fast enough to see a text shown for 200 ms.
constexpr DWORD kPollMs = 15;
// No pop-up and no box for this long means the button's handler has returned: its own
// gaps between windows are a few hundred milliseconds at most.
constexpr DWORD kIdleMs = 1000;

int Number(const std::string& s) { return static_cast<int>(std::strtol(s.c_str(), nullptr, 0)); }

bool Expired(DWORD start, DWORD timeoutMs) { return GetTickCount() - start >= timeoutMs; }

}  // namespace

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
         "cancel-file MS         cancel the file dialog\n"
         "bar                    position and upper bound of the progress bar\n"
         "wait-bar N MS          wait until the progress bar reaches N\n"
         "idle MS                wait until no pop-up or box is left and the dialog answers\n"
         "wait-exit MS           wait until the main dialog is gone\n"
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
      {"windows", 1, &CDriver::Windows},        {"text", 2, &CDriver::Text},
      {"enabled", 2, &CDriver::Enabled},        {"combo", 2, &CDriver::Combo},
      {"click", 2, &CDriver::Click},            {"syscommand", 2, &CDriver::SysCommand},
      {"select", 3, &CDriver::Select},
      {"wait-control", 3, &CDriver::WaitControl}, {"wait-text", 4, &CDriver::WaitText},
      {"watch", 2, &CDriver::Watch},            {"box", 2, &CDriver::Box},
      {"answer", 3, &CDriver::Answer},          {"close-about", 2, &CDriver::CloseAbout},
      {"open-file", 3, &CDriver::OpenFile},     {"cancel-file", 2, &CDriver::CancelFile},
      {"bar", 1, &CDriver::Bar},                {"wait-bar", 3, &CDriver::WaitBar},
      {"idle", 2, &CDriver::Idle},              {"wait-exit", 2, &CDriver::WaitExit},
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
  for (DWORD_PTR i = 0; i < count && static_cast<int>(count) > 0; ++i) {
    wchar_t wide[256] = {};
    DWORD_PTR len = 0;
    SendMessageTimeoutW(h, CB_GETLBTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 1000, &len);
    if (len >= 256) return Fail("combo entry too long");
    SendMessageTimeoutW(h, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide), SMTO_ABORTIFHUNG,
                        1000, &len);
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

bool CDriver::WaitControl(const std::vector<std::string>& a) {
  DWORD start = GetTickCount();
  for (;;) {
    int id = Number(a[1]);
    for (const AppWindow& w : ListAppWindows(m_main, m_aboutCaption)) {
      if (GetDlgItem(w.hwnd, id)) {
        m_out(std::string("window ") + KindName(w.kind) + " has " + a[1]);
        return true;
      }
    }
    if (Expired(start, Number(a[2]))) return Fail("no window with control " + a[1]);
    Sleep(kPollMs);
  }
}

bool CDriver::WaitText(const std::vector<std::string>& a) {
  DWORD start = GetTickCount();
  std::string last;
  for (;;) {
    if (HWND h = FindControl(Number(a[1]))) {
      last = ReadText(h);
      if (last == a[2]) {
        m_out("text " + a[1] + " " + Quote(last));
        return true;
      }
    }
    if (Expired(start, Number(a[3])))
      return Fail("control " + a[1] + " shows " + Quote(last) + ", not " + Quote(a[2]));
    Sleep(kPollMs);
  }
}

bool CDriver::ReadBar(HWND progress, int& pos, int& upper) {
  HWND bar = GetDlgItem(progress, ids::kProgressBar);
  DWORD_PTR p = 0, u = 0;
  if (!bar || !SendMessageTimeoutA(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 100, &p) ||
      !SendMessageTimeoutA(bar, PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, 100, &u))
    return false;
  pos = static_cast<int>(p);
  upper = static_cast<int>(u);
  return true;
}

void CDriver::DescribeBox(HWND box) {
  HWND text = GetDlgItem(box, ids::kBoxText);
  std::string buttons;
  for (const std::string& b : ButtonTexts(box)) buttons += (buttons.empty() ? "" : ",") + b;
  // The icon sits in a static of its own; a box without one has no icon set there. Only
  // answers count: a box just shown may keep its thread busy for a moment.
  bool icon = false, anyAnswer = false;
  DWORD start = GetTickCount();
  for (int emptyAnswers = 0; !icon && emptyAnswers < 3 && !Expired(start, 3000);) {
    bool answered = false;
    for (int id : {0x440, 0x14}) {
      DWORD_PTR h = 0;
      HWND item = GetDlgItem(box, id);
      if (item && SendMessageTimeoutA(item, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 500, &h)) {
        answered = true;
        icon = icon || h != 0;
      }
    }
    if (answered) ++emptyAnswers;
    anyAnswer = anyAnswer || answered;
    Sleep(30);
  }
  m_out("box " + Quote(ReadText(box)) + " " + Quote(text ? ReadText(text) : "") +
        " buttons=" + buttons +
        (icon ? " icon" : anyAnswer ? " no-icon" : " icon-unknown"));
}

bool CDriver::Watch(const std::vector<std::string>& a) {
  DWORD timeoutMs = Number(a[1]);
  std::string untilText;
  int untilBar = -1, untilRange = -1;
  bool haveUntil = false;
  for (size_t i = 2; i + 1 < a.size(); i += 2) {
    if (a[i] == "until-text") {
      untilText = a[i + 1];
      haveUntil = true;
    } else if (a[i] == "until-bar") {
      untilBar = Number(a[i + 1]);
    } else if (a[i] == "until-range") {
      untilRange = Number(a[i + 1]);
    } else {
      return Fail("watch: unknown option " + a[i]);
    }
  }
  std::string lastStatus, lastProgress;
  int upper = -1, maxPos = -1, pos = -1;
  auto flushBar = [&] {
    if (upper >= 0) m_out("bar reached " + std::to_string(maxPos) + " of " + std::to_string(upper));
    upper = maxPos = pos = -1;
  };
  DWORD start = GetTickCount(), idleSince = 0;
  bool idleRunning = false;
  for (;;) {
    if (!IsWindow(m_main)) {
      flushBar();
      m_out("exited");
      return true;
    }
    auto windows = ListAppWindows(m_main, m_aboutCaption);
    HWND status = FirstOfKind(windows, WindowKind::kStatus);
    HWND progress = FirstOfKind(windows, WindowKind::kProgress);
    // A window being destroyed reads as empty; no operation shows an empty text.
    std::string statusText, progressText;
    if (status) {
      statusText = ReadText(GetDlgItem(status, ids::kStatusText));
      if (statusText != lastStatus && !statusText.empty()) m_out("status " + Quote(statusText));
    }
    lastStatus = statusText;
    if (progress) {
      progressText = ReadText(GetDlgItem(progress, ids::kProgressText));
      if (progressText != lastProgress && !progressText.empty()) m_out("progress " + Quote(progressText));
      int p = 0, u = 0;
      if (ReadBar(progress, p, u)) {
        if (u != upper) {
          flushBar();
          upper = u;
          m_out("bar range 0.." + std::to_string(u));
        }
        pos = p;
        if (p > maxPos) maxPos = p;
      }
    } else {
      flushBar();
    }
    lastProgress = progressText;
    for (WindowKind k : {WindowKind::kMessageBox, WindowKind::kAbout, WindowKind::kFileDialog}) {
      if (HWND h = FirstOfKind(windows, k)) {
        flushBar();
        if (k == WindowKind::kMessageBox)
          DescribeBox(h);
        else
          m_out(std::string(KindName(k)) + " " + Quote(ReadText(h)));
        return true;
      }
    }
    if (haveUntil && (statusText == untilText || progressText == untilText) &&
        (untilBar < 0 || pos >= untilBar) && (untilRange < 0 || upper == untilRange)) {
      m_out("reached " + Quote(untilText) + (untilBar >= 0 ? " bar " + std::to_string(pos) : ""));
      return true;
    }
    if (!status && !progress) {
      if (!idleRunning) {
        idleRunning = true;
        idleSince = GetTickCount();
      } else if (GetTickCount() - idleSince >= kIdleMs && Responds(m_main, 500)) {
        m_out("idle");
        return true;
      }
    } else {
      idleRunning = false;
    }
    if (Expired(start, timeoutMs)) return Fail("watch: still busy after " + a[1] + " ms");
    Sleep(kPollMs);
  }
}

HWND CDriver::WaitFor(int kind, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (HWND h = FirstOfKind(ListAppWindows(m_main, m_aboutCaption), WindowKind(kind))) return h;
    if (Expired(start, timeoutMs) || !IsWindow(m_main)) return nullptr;
    Sleep(kPollMs);
  }
}

bool CDriver::WaitGone(HWND hwnd, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (IsWindow(hwnd) && IsWindowVisible(hwnd)) {
    if (Expired(start, timeoutMs)) return false;
    Sleep(kPollMs);
  }
  return true;
}

bool CDriver::Box(const std::vector<std::string>& a) {
  HWND box = WaitFor(static_cast<int>(WindowKind::kMessageBox), Number(a[1]));
  if (!box) return Fail("no message box");
  DescribeBox(box);
  return true;
}

bool CDriver::Answer(const std::vector<std::string>& a) {
  int id = a[1] == "ok" ? IDOK : a[1] == "cancel" ? IDCANCEL : 0;
  if (!id) return Fail("answer ok or cancel");
  HWND box = WaitFor(static_cast<int>(WindowKind::kMessageBox), Number(a[2]));
  if (!box) return Fail("no message box to answer");
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
  if (!WaitGone(box, Number(a[2]))) return Fail("the box stays open");
  m_out("answered " + a[1]);
  return true;
}

bool CDriver::CloseAbout(const std::vector<std::string>& a) {
  HWND about = WaitFor(static_cast<int>(WindowKind::kAbout), Number(a[1]));
  if (!about) return Fail("no About box");
  PostMessageA(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  if (!WaitGone(about, Number(a[1]))) return Fail("the About box stays open");
  m_out("closed about");
  return true;
}

bool CDriver::OpenFile(const std::vector<std::string>& a) {
  DWORD timeoutMs = Number(a[2]);
  HWND dlg = WaitFor(static_cast<int>(WindowKind::kFileDialog), timeoutMs);
  if (!dlg) return Fail("no file dialog");
  m_out("file-dialog " + Quote(ReadText(dlg)));
  HWND name = GetDlgItem(dlg, ids::kFileNameCombo);
  if (!name) name = GetDlgItem(dlg, ids::kFileNameEdit);
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[1].c_str()),
                           SMTO_ABORTIFHUNG, 2000, &result))
    return Fail("the file dialog does not take the name");
  HWND ok = GetDlgItem(dlg, IDOK);
  if (!ok || !IsWindowEnabled(ok)) return Fail("the file dialog's Open button is disabled");
  PostMessageA(ok, BM_CLICK, 0, 0);
  if (!WaitGone(dlg, timeoutMs)) {
    if (HWND box = FirstOfKind(ListAppWindows(m_main, m_aboutCaption), WindowKind::kOther))
      m_out("window " + Quote(ReadText(box)));
    return Fail("the file dialog stays open");
  }
  m_out("chose " + Quote(a[1]));
  return true;
}

bool CDriver::CancelFile(const std::vector<std::string>& a) {
  HWND dlg = WaitFor(static_cast<int>(WindowKind::kFileDialog), Number(a[1]));
  if (!dlg) return Fail("no file dialog");
  PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  if (!WaitGone(dlg, Number(a[1]))) return Fail("the file dialog stays open");
  m_out("cancelled file dialog");
  return true;
}

bool CDriver::Bar(const std::vector<std::string>&) {
  HWND progress = FirstOfKind(ListAppWindows(m_main, m_aboutCaption), WindowKind::kProgress);
  int pos = 0, upper = 0;
  if (!progress || !ReadBar(progress, pos, upper)) return Fail("no progress bar");
  m_out("bar " + std::to_string(pos) + " of " + std::to_string(upper));
  return true;
}

bool CDriver::WaitBar(const std::vector<std::string>& a) {
  DWORD start = GetTickCount();
  int pos = -1, upper = 0;
  for (;;) {
    HWND progress = FirstOfKind(ListAppWindows(m_main, m_aboutCaption), WindowKind::kProgress);
    if (progress && ReadBar(progress, pos, upper) && pos >= Number(a[1])) {
      m_out("bar " + std::to_string(pos) + " of " + std::to_string(upper));
      return true;
    }
    if (Expired(start, Number(a[2])))
      return Fail("bar at " + std::to_string(pos) + ", not " + a[1]);
    Sleep(kPollMs);
  }
}

bool CDriver::Idle(const std::vector<std::string>& a) {
  DWORD start = GetTickCount(), quietSince = GetTickCount();
  for (;;) {
    auto windows = ListAppWindows(m_main, m_aboutCaption);
    if (HWND box = FirstOfKind(windows, WindowKind::kMessageBox)) {
      DescribeBox(box);
      return Fail("a message box is open");
    }
    if (windows.size() > 1) quietSince = GetTickCount();
    if (GetTickCount() - quietSince >= kIdleMs && Responds(m_main, 500)) {
      m_out("idle");
      return true;
    }
    if (Expired(start, Number(a[1]))) return Fail("still busy");
    Sleep(kPollMs);
  }
}

bool CDriver::WaitExit(const std::vector<std::string>& a) {
  DWORD start = GetTickCount();
  while (IsWindow(m_main)) {
    if (Expired(start, Number(a[1]))) return Fail("the main dialog is still there");
    Sleep(kPollMs);
  }
  m_out("exited");
  return true;
}
