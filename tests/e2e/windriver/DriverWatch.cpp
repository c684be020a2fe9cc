// Commands that wait for the program and follow its pop-ups and progress bar.
#include "Driver.h"

#include <commctrl.h>

#include "AppWindows.h"
#include "DriverUtil.h"

using namespace drv;

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
      if (progressText != lastProgress && !progressText.empty())
        m_out("progress " + Quote(progressText));
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
