#pragma once
// Finds and reads the windows of the program under test from another process, the way a
// user sees them: the main dialog, its status and progress pop-ups, its message boxes,
// the About box and the file dialog.

#include <windows.h>

#include <string>
#include <vector>

enum class WindowKind { kMain, kStatus, kProgress, kMessageBox, kAbout, kFileDialog, kOther };

struct AppWindow {
  HWND hwnd;
  WindowKind kind;
};

// Control IDs of the program's templates and of the system dialogs it shows.
namespace ids {
constexpr int kStatusText = 1009;
constexpr int kProgressBar = 1010;
constexpr int kProgressText = 1011;
constexpr int kBoxText = 0xFFFF;
constexpr int kFileNameCombo = 0x47c;  // explorer-style file dialog
constexpr int kFileNameEdit = 0x480;   // old-style file dialog
}  // namespace ids

const char* KindName(WindowKind kind);

// Text of a window: asked of its thread with a bounded wait; when the thread is busy, the
// copy the window system keeps is read instead, so a busy program never stalls the driver.
std::string ReadText(HWND hwnd);

// Whether the window's thread answers a message within the time given.
bool Responds(HWND hwnd, UINT ms);

// The first visible top-level dialog with this caption, or null.
HWND FindDialogByCaption(const std::string& caption);

// Every visible top-level dialog of the process that owns main, classified.
std::vector<AppWindow> ListAppWindows(HWND main, const std::string& aboutCaption);

// The first window of a kind, or null.
HWND FirstOfKind(const std::vector<AppWindow>& windows, WindowKind kind);

// Texts of the visible push buttons of a dialog, in child order, without '&'.
std::vector<std::string> ButtonTexts(HWND dialog);

// Quotes a text on one line: \n, \r, \t, quote and backslash escaped.
std::string Quote(const std::string& text);
