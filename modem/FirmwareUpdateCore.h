#pragma once
// The shared dialog state and the operations behind Find and Upgrade. The core holds what it
// needs of a front by reference, each a small seam of one concern; a front (the dialog, the
// console program, the tests) implements the seams it shows and owns a core.

#include <memory>
#include <string>

#include "image/ImageFile.h"
#include "modem/DialogControls.h"
#include "modem/MessageBoxes.h"
#include "modem/Pacing.h"
#include "modem/ProgressView.h"
#include "modem/StatusView.h"
#include "record/FirmwareVersionInfo.h"
#include "serial/ComPort.h"

struct FirmwareUpdateSeams {
  ISerialDriver& driver;
  IPacing& pacing;
  IImageFiles& files;
  IStatusView& status;
  IProgressView& progress;
  IMessageBoxes& boxes;
  IDialogControls& controls;
};

class CFirmwareUpdateCore {
 public:
  explicit CFirmwareUpdateCore(const FirmwareUpdateSeams& seams);

  void OnFind();
  // The scan behind Find over the first `count` ports (at most eight): texts, waits and
  // the selection of the first port that answers as Find has them; no status window and no
  // report when nothing answers. Returns the index found, or -1.
  int ScanPorts(int count);
  void OnUpgrade();
  bool QueryModemInfo(FirmwareVersionInfo& modem);
  bool ReadFirmwareFileInfo(FirmwareVersionInfo& image);

  // Rules of the main dialog's state, kept here so they hold without a window.
  void ResetDialogState();                      // dialog start: no port, COM1, Upgrade off
  void OnPortSelected(int index);               // an entry chosen in the port list
  void OnFileChosen(const std::string& name);   // a firmware file chosen with Open
  void ReleasePort();                           // the dialog goes while a port is held

  // The shared dialog state.
  std::unique_ptr<CComPort> m_pPort;  // the port of the operation under way, or null
  int m_nPortIndex = 0;               // chosen port, 0..7
  std::string m_strFileName;          // chosen image, without its folder

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

  ISerialDriver& m_driver;
  IPacing& m_pacing;
  IImageFiles& m_files;
  IStatusView& m_status;
  IProgressView& m_progress;
  IMessageBoxes& m_boxes;
  IDialogControls& m_controls;
};
