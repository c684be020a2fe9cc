#pragma once
// The driver's commands. Each works the program as a user would (only enabled buttons,
// boxes read before they are answered), waits at most the time it is given, and writes what
// it saw as lines to the output.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class CDriver {
 public:
  using Output = std::function<void(const std::string&)>;

  explicit CDriver(Output out) : m_out(std::move(out)) {}

  // Runs one command line; false when it failed (a reason has been written).
  bool Run(const std::vector<std::string>& args);

  static const char* Help();

 private:
  bool Main(const std::vector<std::string>& a);
  bool Windows(const std::vector<std::string>& a);
  bool Text(const std::vector<std::string>& a);
  bool Enabled(const std::vector<std::string>& a);
  bool Combo(const std::vector<std::string>& a);
  bool Click(const std::vector<std::string>& a);
  bool Select(const std::vector<std::string>& a);
  bool SysCommand(const std::vector<std::string>& a);
  bool WaitControl(const std::vector<std::string>& a);
  bool WaitText(const std::vector<std::string>& a);
  bool Watch(const std::vector<std::string>& a);
  bool Box(const std::vector<std::string>& a);
  bool Answer(const std::vector<std::string>& a);
  bool CloseAbout(const std::vector<std::string>& a);
  bool OpenFile(const std::vector<std::string>& a);
  bool TryFile(const std::vector<std::string>& a);
  bool CancelFile(const std::vector<std::string>& a);
  bool Bar(const std::vector<std::string>& a);
  bool WaitBar(const std::vector<std::string>& a);
  bool Idle(const std::vector<std::string>& a);
  bool WaitExit(const std::vector<std::string>& a);
  bool Front(const std::vector<std::string>& a);
  bool PressKeys(const std::vector<std::string>& a);
  bool ClickCloseBox(const std::vector<std::string>& a);
  bool Texts(const std::vector<std::string>& a);
  bool HoldFile(const std::vector<std::string>& a);
  bool ReleaseFile(const std::vector<std::string>& a);

  bool NeedMain();
  bool Fail(const std::string& why);
  HWND FindControl(int id);                 // in the main dialog, then its pop-ups
  HWND WaitFor(int kind, DWORD timeoutMs);  // first app window of a WindowKind
  bool ReadBar(HWND progress, int& pos, int& upper);
  void DescribeBox(HWND box);
  bool WaitGone(HWND hwnd, DWORD timeoutMs);
  // Names a file in the file dialog and presses Open: 1 when the dialog took it and
  // closed, 0 when it refused it with a box of its own (printed and answered), -1 on failure.
  int ChooseFile(const std::string& path, DWORD timeoutMs);

  Output m_out;
  HWND m_main = nullptr;
  std::string m_aboutCaption = "About Tessaro";
  HANDLE m_hHeldFile = INVALID_HANDLE_VALUE;  // hold-file: as another program would
};
