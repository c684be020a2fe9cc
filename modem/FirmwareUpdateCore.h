#pragma once
// The shared dialog state and the operations behind Find and Upgrade. The core holds the
// serial driver and the pacing, which every operation on a port uses; each operation takes
// the other seams it shows through, and returns how it ended as a typed value. A front (the
// dialog, the console program, the tests) implements the seams it shows and owns a core.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "image/ImageFile.h"
#include "modem/DialogControls.h"
#include "modem/MessageBoxes.h"
#include "modem/Outcomes.h"
#include "modem/Pacing.h"
#include "modem/PortChecks.h"
#include "modem/ProgressView.h"
#include "modem/StatusView.h"
#include "record/FirmwareVersionInfo.h"
#include "serial/ComPort.h"

// What Find shows through.
struct FindSeams {
  IStatusView& status;
  IDialogControls& controls;
};

// What Upgrade shows through and reads from, besides the port.
struct UpgradeSeams {
  IImageFiles& files;
  IStatusView& status;
  IProgressView& progress;
  IMessageBoxes& boxes;
  IDialogControls& controls;
};

class CTestCoreAccess;

class CFirmwareUpdateCore {
 public:
  CFirmwareUpdateCore(ISerialDriver& driver, IPacing& pacing);

  // The choices the operations work on.
  // The ports, by the names the driver opens them by; COM1..COM8 until set.
  void SetPorts(std::vector<std::string> names);
  void ChoosePort(int index);  // an index into the ports; any other is ignored
  void ChooseImage(const std::string& name);
  // Upgrade leaves a modem alone, before the question, when it already reports exactly the
  // image's versions and dates: a repeated run changes nothing. Off unless set.
  void SkipCurrent(bool skip) { m_bSkipCurrent = skip; }
  // A record of each unit: after its versions, before the question, the query asks the
  // modem who it is (the identity query of the scan) and sends `serialCommand` (such as
  // "AT+GSN"), keeping both answers as they come. Off (empty) unless set: the dialog never
  // sends them.
  void RecordUnit(const std::string& serialCommand) { m_serialCommand = serialCommand; }
  int PortIndex() const { return m_nPortIndex; }
  const std::string& PortName() const;
  const std::string& ImageName() const { return m_strFileName; }
  bool HoldsPort() const { return m_pPort != nullptr; }

  // Find: the status window over the scan, and a report when nothing answers.
  std::optional<FoundPort> OnFind(const FindSeams& seams);
  // The scan behind Find over every port in turn: texts, waits and the selection of the
  // first port that answers as Find has them; no window and no report when none answers.
  std::optional<FoundPort> ScanPorts(const FindSeams& seams);
  // The same, telling `checks` how each port it looked at ended, before anything is shown
  // of a modem found there.
  std::optional<FoundPort> ScanPorts(const FindSeams& seams, IPortChecks& checks);
  QueryResult QueryModemInfo(FirmwareVersionInfo& modem, IMessageBoxes& boxes);
  bool ReadFirmwareFileInfo(FirmwareVersionInfo& image, IImageFiles& files);
  UpgradeOutcome OnUpgrade(const UpgradeSeams& seams);
  // Upgrade's reading of both records alone, and whether the modem already has the image's
  // (kCurrent) or not (kWouldUpdate): no question, nothing erased or written.
  UpgradeOutcome CheckUpgrade(const UpgradeSeams& seams);

  // Rules of the main dialog's state, kept here so they hold without a window.
  void ResetDialogState(IDialogControls& controls);  // dialog start: no port, COM1, Upgrade off
  void OnPortSelected(int index);                    // an entry chosen in the port list
  // A firmware file chosen with Open: the name, its field, Upgrade on.
  void OnFileChosen(const std::string& name, IDialogControls& controls);
  void ReleasePort();  // the dialog goes while a port is held

 private:
  friend class CTestCoreAccess;  // tests put the core into states no front reaches
  enum class TransferResult { kDone, kIncomplete, kUnconfirmed };

  PortRef ChosenPort() const;
  // Find: opens port `index` into m_pPort and asks it who it is.
  bool ProbePort(int index);
  // Query: sends one command, waits, reads the answer into `answer` and terminates it.
  unsigned AskModem(const char* command, unsigned length, char* answer, unsigned size);
  // Upgrade, in its phases.
  // The image's and the modem's records into m_imageRead and m_modemRead, or the outcome
  // that ends Upgrade there.
  std::optional<UpgradeOutcome> ReadBothRecords(const UpgradeSeams& seams);
  // The outcome that ends Upgrade before anything is written, or none once the user agreed.
  std::optional<UpgradeOutcome> ObtainConsent(const UpgradeSeams& seams);
  bool EraseFlash(IProgressView& progress);
  TransferResult SendImage(IImageFile& file, IProgressView& progress, std::uint32_t& sent);
  void EndUpgradeFailed(std::unique_ptr<IImageFile>& file, IDialogControls& controls);
  UpgradeOutcome Outcome(UpgradeResult result, std::uint32_t bytesSent = 0,
                         OpenFailure openFailure = OpenFailure::kNone) const;

  // The shared dialog state.
  std::unique_ptr<CComPort> m_pPort;  // the port of the operation under way, or null
  int m_nPortIndex = 0;               // chosen port, an index into m_ports
  std::string m_strFileName;          // chosen image, without its folder
  std::vector<std::string> m_ports;   // by name: COM1..COM8 in the dialog, the user's in fwupdate
  bool m_bSkipCurrent = false;
  std::string m_serialCommand;  // RecordUnit; its answers below
  std::string m_identityRead;
  std::string m_serialRead;
  FirmwareVersionInfo m_modemRead;  // Upgrade: the records read for its question
  FirmwareVersionInfo m_imageRead;

  ISerialDriver& m_driver;
  IPacing& m_pacing;
};
