#pragma once
// A front for tests that owns a CFirmwareUpdateCore: every text, bar operation and box goes
// into one log, in order, in the dialog program's words and bar messages; pauses advance the
// shared virtual clock; boxes are answered from a script; image files come from memory.

#include <cstdio>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/DialogBoxStyle.h"
#include "modem/DialogProgress.h"
#include "modem/FirmwareUpdateCore.h"
#include "modem/MessageTexts.h"
#include "serial/PortNames.h"
#include "sim/VirtualClock.h"
#include "tests/support/MemoryImageFile.h"
#include "tests/support/TestCoreAccess.h"

struct RecordedBox {
  std::string text;
  std::string caption;
  unsigned type;
  std::uint64_t atMs;
  BoxMessage message;  // as the core gave it
};

class CRecordingDlg : public IStatusView,
                      public IProgressBar,
                      public IMessageBoxes,
                      public IDialogControls,
                      public IPacing {
 public:
  CRecordingDlg(CVirtualClock& clock, ISerialDriver& driver)
      : m_clock(clock), progress(*this), core(driver, *this) {}

  // What the user did before: chose a port, chose a file.
  void ChoosePort(int index) { core.ChoosePort(index); }
  void ChooseFile(const std::string& name) {
    core.ChooseImage(name);
    fileNameText = name;
    upgradeEnabled = true;
  }
  // An operation's port object is still held; opened on `index` when one is given.
  void HoldPort(int index = -1) { CTestCoreAccess::HoldPort(core, index); }

  int PortIndex() const { return core.PortIndex(); }
  const std::string& FileName() const { return core.ImageName(); }
  bool HoldsPort() const { return core.HoldsPort(); }

  // The core's commands, as the dialog forwards them.
  std::optional<FoundPort> OnFind() { return core.OnFind({*this, *this}); }
  UpgradeOutcome OnUpgrade() { return core.OnUpgrade({files, *this, progress, *this, *this}); }
  bool QueryModemInfo(FirmwareVersionInfo& info) {
    return Query(info).status == QueryStatus::kDone;
  }
  QueryResult Query(FirmwareVersionInfo& info) { return core.QueryModemInfo(info, *this); }
  bool ReadFirmwareFileInfo(FirmwareVersionInfo& info) {
    return core.ReadFirmwareFileInfo(info, files);
  }
  void ResetDialogState() { core.ResetDialogState(*this); }
  void OnPortSelected(int index) { core.OnPortSelected(index); }
  void OnFileChosen(const std::string& name) { core.OnFileChosen(name, *this); }
  void ReleasePort() { core.ReleasePort(); }
  // The scan over the first `count` of COM1..COM8 alone: the index found, or -1.
  int ScanPorts(int count) {
    core.SetPorts({PortNames, PortNames + count});
    const std::optional<FoundPort> found = core.ScanPorts({*this, *this});
    return found ? found->index : -1;
  }

  // The log with runs of one entry collapsed: "bar stepit x100".
  std::vector<std::string> Collapsed() const {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < log.size();) {
      std::size_t j = i;
      while (j < log.size() && log[j] == log[i]) ++j;
      out.push_back(j - i > 1 ? log[i] + " x" + std::to_string(j - i) : log[i]);
      i = j;
    }
    return out;
  }
  // Entries that start with `prefix`, in order.
  std::vector<std::string> Only(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& e : log)
      if (e.compare(0, prefix.size(), prefix) == 0) out.push_back(e);
    return out;
  }

  CMemoryFileSystem files;
  std::vector<std::string> log;
  std::vector<RecordedBox> boxes;
  std::deque<int> boxAnswers;  // answered in turn; OK once the script runs out
  // Runs while a box is shown: the world may change while the user reads it.
  std::function<void(const RecordedBox&)> onBox;
  std::uint64_t pausedMs = 0;
  bool logPauses = false;  // each pause also goes into the log: "pause 100"
  int keepAlives = 0;
  bool statusOpen = false;
  bool progressOpen = false;
  bool upgradeEnabled = false;
  std::string fileNameText;
  int selectedPort = -1;

  void OpenStatusWindow() override { Record("status open", statusOpen, true); }
  void ShowStatus(const StatusMessage& message) override {
    log.push_back("status: " + StatusText(message));
  }
  void CloseStatusWindow() override { Record("status close", statusOpen, false); }

  void OpenProgressWindow() override { Record("progress open", progressOpen, true); }
  void SetProgressText(const std::string& text) override { log.push_back("progress: " + text); }
  void SetProgressRange(std::uint16_t upper) override {
    log.push_back("bar range 0.." + std::to_string(upper));
  }
  void SetProgressPos(int pos) override { log.push_back("bar pos " + std::to_string(pos)); }
  void SetProgressStep(int step) override { log.push_back("bar step " + std::to_string(step)); }
  void StepProgress() override { log.push_back("bar stepit"); }
  void CloseProgressWindow() override { Record("progress close", progressOpen, false); }

  int ShowMessageBox(const BoxMessage& message) override {
    const DialogBoxStyle style = BoxStyle(message.id);
    const RecordedBox shown{BoxText(message), style.caption, style.type, m_clock.Now(), message};
    char typeText[16];
    std::snprintf(typeText, sizeof typeText, "%#x", shown.type);
    log.push_back("box " + shown.caption + " " + typeText + ": " + shown.text);
    boxes.push_back(shown);
    if (onBox) onBox(boxes.back());
    if (boxAnswers.empty()) return box::kIdOk;
    const int answer = boxAnswers.front();
    boxAnswers.pop_front();
    return answer;
  }

  void EnableUpgrade(bool enable) override {
    upgradeEnabled = enable;
    log.push_back(enable ? "upgrade on" : "upgrade off");
  }
  void SetFileNameText(const std::string& text) override {
    fileNameText = text;
    log.push_back("file: " + text);
  }
  void SelectPort(int index) override {
    selectedPort = index;
    log.push_back("select " + std::to_string(index));
  }

  void Pause(std::uint32_t ms) override {
    if (logPauses) log.push_back("pause " + std::to_string(ms));
    pausedMs += ms;
    m_clock.Advance(ms);
  }
  void KeepAlive() override { ++keepAlives; }

 private:
  // A window opened twice or closed while not open is a fault of the caller; it shows in the log.
  void Record(const char* entry, bool& open, bool opening) {
    log.push_back(open == opening ? std::string(entry) + " (unbalanced)" : std::string(entry));
    open = opening;
  }

  CVirtualClock& m_clock;

 public:
  CDialogProgress progress;  // the core's reports as the dialog's bar messages, logged
  CFirmwareUpdateCore core;  // last: it is built on the members above
};
