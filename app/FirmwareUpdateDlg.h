#pragma once
// The main dialog: the port list, the file field and the Find, Open, Upgrade and Exit
// buttons. The operations behind the buttons live in the CFirmwareUpdateCore it owns; this
// class gives them the windows, the pauses and the image file they work with.

#include <memory>

#include "app/ProgressDlg.h"
#include "app/StatusDlg.h"
#include "app/resources/resource.h"
#include "app/win/Dialog.h"
#include "app/win/MessageMap.h"
#include "modem/DialogProgress.h"
#include "modem/FirmwareUpdateCore.h"
#include "serial/win32/Win32SerialDriver.h"

class CFirmwareUpdateDlg : public CDialog,
                           private IStatusView,
                           private IProgressBar,
                           private IMessageBoxes,
                           private IDialogControls,
                           private IPacing,
                           private IImageFiles {
 public:
  enum { IDD = IDD_UPDATE_DIALOG };
  explicit CFirmwareUpdateDlg(CWnd* parent = nullptr);
  ~CFirmwareUpdateDlg() override;

  // Releases the port of an operation cut short, then the window.
  BOOL DestroyWindow() override;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  bool OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;
  // Edit 1004 and m_strFileName: save = from the window into the member.
  void DoDataExchange(bool save);

  bool OnSysCommand(UINT nID, LPARAM lParam);
  bool OnPaint();
  HICON OnQueryDragIcon();
  void OnSelchangePort();
  // The dialog shows the outcomes in the core's own boxes: nothing more to show here.
  void OnFind() { m_core.OnFind({*this, *this}); }
  void OnOpen();
  void OnUpgrade() { m_core.OnUpgrade({*this, *this, m_progress, *this, *this}); }

  // The windows, pauses and files of the operations.
  void OpenStatusWindow() override;
  void ShowStatus(const StatusMessage& message) override;
  void CloseStatusWindow() override;
  void OpenProgressWindow() override;
  void SetProgressText(const std::string& text) override;
  void SetProgressRange(std::uint16_t upper) override;
  void SetProgressPos(int pos) override;
  void SetProgressStep(int step) override;
  void StepProgress() override;
  void CloseProgressWindow() override;
  int ShowMessageBox(const BoxMessage& message) override;
  void EnableUpgrade(bool enable) override;
  void SetFileNameText(const std::string& text) override;
  void SelectPort(int index) override;
  void Pause(std::uint32_t ms) override;
  void KeepAlive() override;
  std::unique_ptr<IImageFile> OpenImageFile(const std::string& name) override;

  HICON m_hIcon;

 private:
  LRESULT SendProgressMessage(UINT msg, WPARAM w, LPARAM l);

  // The gaps between blocks serve the windows no more often than this.
  static constexpr double kKeepAliveIntervalMs = 50;
  double m_lastKeepAliveMs = -1e300;

  std::unique_ptr<CStatusDlg> m_pStatusDlg;
  std::unique_ptr<CProgressDlg> m_pProgressDlg;
  CWin32SerialDriver m_serialDriver;
  CDialogProgress m_progress{*this};  // the core's reports as the bar's messages
  CFirmwareUpdateCore m_core;         // after the driver and the windows it refers to

  using Self = CFirmwareUpdateDlg;
  static const MessageEntry<Self> kMessageMap[];
};
