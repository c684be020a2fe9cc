// The main dialog's state rules, without a window: what the port list, Open and the end of
// the dialog do to the shared state and to the Upgrade button.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modem/FirmwareUpdateCore.h"

namespace {

class PortCountingDriver : public ISerialDriver {
 public:
  bool openSucceeds = true;
  int closes = 0;
  SerialHandle OpenDevice(const char*) override { return openSucceeds ? 5 : kInvalidHandle; }
  bool CloseDevice(SerialHandle) override { return ++closes, true; }
  bool GetState(SerialHandle, SerialState&) override { return true; }
  bool SetState(SerialHandle, const SerialState&) override { return true; }
  bool SetTimeouts(SerialHandle, const SerialTimeouts&) override { return true; }
  bool Purge(SerialHandle, std::uint32_t) override { return true; }
  bool ReadBytes(SerialHandle, void*, std::uint32_t, std::uint32_t& done) override {
    return done = 0, true;
  }
  bool WriteBytes(SerialHandle, const void*, std::uint32_t n, std::uint32_t& done) override {
    return done = n, true;
  }
};

// Records what the rules do to the dialog's controls.
class DialogStateRecorder : public IStatusView,
                            public IProgressView,
                            public IMessageBoxes,
                            public IDialogControls,
                            public IPacing,
                            public IImageFiles {
 public:
  explicit DialogStateRecorder(ISerialDriver& d)
      : m_driver(d), m_core({d, *this, *this, *this, *this, *this, *this}) {}

  std::vector<std::string> calls;
  bool upgradeEnabled = true;  // as if left on, so that a missing disable shows
  std::string fileField = "stale";
  int selectedPort = -2;

  void OpenStatusWindow() override { calls.push_back("status open"); }
  void SetStatusText(const std::string&) override {}
  void CloseStatusWindow() override {}
  void OpenProgressWindow() override { calls.push_back("progress open"); }
  void SetProgressText(const std::string&) override {}
  void SetProgressRange(std::uint16_t) override {}
  void SetProgressPos(int) override {}
  void SetProgressStep(int) override {}
  void StepProgress() override {}
  void CloseProgressWindow() override {}
  int ShowMessageBox(const std::string& text, const std::string&, unsigned) override {
    calls.push_back("box " + text);
    return box::kIdOk;
  }
  void EnableUpgrade(bool enable) override { upgradeEnabled = enable; }
  void SetFileNameText(const std::string& text) override { fileField = text; }
  void SelectPort(int index) override { selectedPort = index; }
  void Pause(std::uint32_t) override {}
  void KeepAlive() override {}
  std::unique_ptr<IImageFile> OpenImageFile(const std::string&) override { return nullptr; }

  // An operation cut short: its port is still held.
  void HoldPort(int index) {
    m_core.m_pPort = std::make_unique<CComPort>(m_driver);
    m_core.m_pPort->Open(index);
  }
  bool HoldsPort() const { return m_core.m_pPort != nullptr; }
  int PortIndex() const { return m_core.m_nPortIndex; }
  const std::string& FileName() const { return m_core.m_strFileName; }

  void ResetDialogState() { m_core.ResetDialogState(); }
  void OnPortSelected(int index) { m_core.OnPortSelected(index); }
  void OnFileChosen(const std::string& name) { m_core.OnFileChosen(name); }
  void ReleasePort() { m_core.ReleasePort(); }
  void OnFind() { m_core.OnFind(); }
  void OnUpgrade() { m_core.OnUpgrade(); }

 private:
  ISerialDriver& m_driver;
  CFirmwareUpdateCore m_core;
};

TEST(DialogState, StartSelectsCom1DisablesUpgradeAndHoldsNoPort) {
  PortCountingDriver driver;
  DialogStateRecorder dlg(driver);
  dlg.OnPortSelected(5);
  dlg.HoldPort(5);

  dlg.ResetDialogState();

  EXPECT_EQ(dlg.PortIndex(), 0);
  EXPECT_EQ(dlg.selectedPort, 0);
  EXPECT_FALSE(dlg.upgradeEnabled);
  EXPECT_FALSE(dlg.HoldsPort());
  EXPECT_EQ(driver.closes, 1);
  EXPECT_TRUE(dlg.calls.empty()) << "no window or box at start";
}

TEST(DialogState, OnlyAChosenListEntryChangesThePort) {
  PortCountingDriver driver;
  DialogStateRecorder dlg(driver);
  dlg.ResetDialogState();

  dlg.OnPortSelected(7);
  EXPECT_EQ(dlg.PortIndex(), 7);
  dlg.OnPortSelected(2);
  EXPECT_EQ(dlg.PortIndex(), 2);

  // No selection (text typed into the list's field) and out-of-range entries keep it.
  dlg.OnPortSelected(-1);
  EXPECT_EQ(dlg.PortIndex(), 2);
  dlg.OnPortSelected(8);
  EXPECT_EQ(dlg.PortIndex(), 2);

  EXPECT_EQ(dlg.selectedPort, 0) << "choosing in the list does not re-select it";
  EXPECT_FALSE(dlg.HoldsPort()) << "choosing a port opens nothing";
}

TEST(DialogState, ChoosingAFileShowsItsNameAndEnablesUpgrade) {
  PortCountingDriver driver;
  DialogStateRecorder dlg(driver);
  dlg.ResetDialogState();
  EXPECT_EQ(dlg.FileName(), "");

  dlg.OnFileChosen("modem.bin");
  EXPECT_EQ(dlg.FileName(), "modem.bin");
  EXPECT_EQ(dlg.fileField, "modem.bin");
  EXPECT_TRUE(dlg.upgradeEnabled);

  // A download's end disables Upgrade; only a new choice enables it again.
  dlg.EnableUpgrade(false);
  dlg.OnFileChosen("other image.bin");
  EXPECT_EQ(dlg.FileName(), "other image.bin");
  EXPECT_EQ(dlg.fileField, "other image.bin");
  EXPECT_TRUE(dlg.upgradeEnabled);
}

TEST(DialogState, ReleasingThePortClosesAHeldPortOnceAndNothingElse) {
  PortCountingDriver driver;
  DialogStateRecorder dlg(driver);

  dlg.ReleasePort();  // no operation ran
  EXPECT_EQ(driver.closes, 0);

  dlg.HoldPort(2);
  dlg.ReleasePort();
  EXPECT_FALSE(dlg.HoldsPort());
  EXPECT_EQ(driver.closes, 1);
  dlg.ReleasePort();
  EXPECT_EQ(driver.closes, 1) << "a second release closes nothing";

  // A port object whose open failed holds no device: nothing to close.
  driver.openSucceeds = false;
  dlg.HoldPort(3);
  dlg.ReleasePort();
  EXPECT_FALSE(dlg.HoldsPort());
  EXPECT_EQ(driver.closes, 1);
}

}  // namespace
