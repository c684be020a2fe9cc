// Commands that read and answer the boxes and dialogs the program opens.
#include "Driver.h"

#include <commctrl.h>

#include "AppWindows.h"
#include "DriverUtil.h"

using namespace drv;

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
        (icon        ? " icon"
         : anyAnswer ? " no-icon"
                     : " icon-unknown"));
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

// The dialogs a file dialog owns: its own boxes, such as the one for a missing file.
namespace {
struct OwnedBoxSearch {
  HWND owner;
  HWND found;
};

BOOL CALLBACK FindOwnedBox(HWND hwnd, LPARAM param) {
  auto* s = reinterpret_cast<OwnedBoxSearch*>(param);
  char cls[16] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (GetWindow(hwnd, GW_OWNER) != s->owner || !IsWindowVisible(hwnd) ||
      std::string(cls) != "#32770")
    return TRUE;
  s->found = hwnd;
  return FALSE;
}
}  // namespace

int CDriver::ChooseFile(const std::string& path, DWORD timeoutMs) {
  HWND dlg = WaitFor(static_cast<int>(WindowKind::kFileDialog), timeoutMs);
  if (!dlg) {
    Fail("no file dialog");
    return -1;
  }
  m_out("file-dialog " + Quote(ReadText(dlg)));
  HWND name = GetDlgItem(dlg, ids::kFileNameCombo);
  if (!name) name = GetDlgItem(dlg, ids::kFileNameEdit);
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()),
                           SMTO_ABORTIFHUNG, 2000, &result)) {
    Fail("the file dialog does not take the name");
    return -1;
  }
  HWND ok = GetDlgItem(dlg, IDOK);
  if (!ok || !IsWindowEnabled(ok)) {
    Fail("the file dialog's Open button is disabled");
    return -1;
  }
  PostMessageA(ok, BM_CLICK, 0, 0);
  DWORD start = GetTickCount();
  while (IsWindow(dlg) && IsWindowVisible(dlg)) {
    OwnedBoxSearch box{dlg, nullptr};
    EnumWindows(FindOwnedBox, reinterpret_cast<LPARAM>(&box));
    if (box.found) {
      HWND text = GetDlgItem(box.found, ids::kBoxText);
      m_out("refused " + Quote(ReadText(box.found)) + " " + Quote(text ? ReadText(text) : ""));
      PostMessageA(box.found, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      if (!WaitGone(box.found, timeoutMs)) {
        Fail("the file dialog's box stays open");
        return -1;
      }
      return 0;
    }
    if (Expired(start, timeoutMs)) {
      Fail("the file dialog stays open");
      return -1;
    }
    Sleep(kPollMs);
  }
  m_out("chose " + Quote(path));
  return 1;
}

bool CDriver::OpenFile(const std::vector<std::string>& a) {
  const int chosen = ChooseFile(a[1], Number(a[2]));
  return chosen > 0 || (chosen == 0 && Fail("the file dialog refused the name"));
}

bool CDriver::TryFile(const std::vector<std::string>& a) {
  return ChooseFile(a[1], Number(a[2])) >= 0;
}

bool CDriver::CancelFile(const std::vector<std::string>& a) {
  HWND dlg = WaitFor(static_cast<int>(WindowKind::kFileDialog), Number(a[1]));
  if (!dlg) return Fail("no file dialog");
  PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  if (!WaitGone(dlg, Number(a[1]))) return Fail("the file dialog stays open");
  m_out("cancelled file dialog");
  return true;
}
