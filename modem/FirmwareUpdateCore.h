#pragma once
// The shared dialog state and the operations behind Find and Upgrade, written against the
// IUpdateUi operations. CFirmwareUpdateDlg derives from it and supplies them over Win32;
// tests derive a recorder.

#include <memory>
#include <string>

#include "modem/FirmwareVersionInfo.h"
#include "modem/UpdateUi.h"
#include "serial/ComPort.h"

class CFirmwareUpdateCore : public IUpdateUi {
 public:
  explicit CFirmwareUpdateCore(ISerialDriver& driver) : m_driver(driver) {}
  ~CFirmwareUpdateCore() override = default;

  void OnFind();
  void OnUpgrade();
  bool QueryModemInfo(FirmwareVersionInfo& modem);
  bool ReadFirmwareFileInfo(FirmwareVersionInfo& image);

  // Rules of the main dialog's state, kept here so they hold without a window.
  void ResetDialogState();                      // dialog start: no port, COM1, Upgrade off
  void OnPortSelected(int index);               // an entry chosen in the port list
  void OnFileChosen(const std::string& name);   // a firmware file chosen with Open
  void ReleasePort();                           // the dialog goes while a port is held

 protected:
  std::unique_ptr<CComPort> m_pPort;  // the port of the operation under way, or null
  int m_nPortIndex = 0;               // chosen port, 0..7
  std::string m_strFileName;          // chosen image, without its folder

  ISerialDriver& m_driver;

 private:
  enum class TransferResult { kDone, kIncomplete, kUnconfirmed };

  // Find: opens port `index` into m_pPort and asks it who it is.
  bool ProbePort(int index);
  // Query: sends one command, waits, reads the answer into `answer` and terminates it.
  unsigned AskModem(const char* command, unsigned length, char* answer, unsigned size);
  // Upgrade, in its phases.
  bool ObtainConsent();
  bool EraseFlash();
  TransferResult SendImage(IImageFile& file);
  void EndUpgradeFailed(std::unique_ptr<IImageFile>& file);
};
