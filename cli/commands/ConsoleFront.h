#pragma once
// The console front: the core over the user's ports, with the console's status lines,
// progress bar, questions and sleeps. The commands find, info and upgrade run on it.

#include <vector>

#include "cli/platform/ConsolePorts.h"
#include "cli/screen/ConsoleBoxes.h"
#include "cli/screen/ConsoleOut.h"
#include "cli/screen/ConsoleProgress.h"
#include "cli/screen/ConsoleStatus.h"
#include "image/PlatformImageFile.h"
#include "modem/FirmwareUpdateCore.h"
#include "modem/NullSeams.h"

class CConsoleFront {
 public:
  // `driver` opens the ports by their names (the platform's driver, or a wrapper of it);
  // `pacing` waits (the console's sleeps, or a virtual clock in tests).
  CConsoleFront(CConsoleOut& out, ISerialDriver& driver, IPacing& pacing,
                const std::vector<ConsolePort>& ports)
      : status(out), progress(out), boxes(out, ports), core(driver, pacing) {
    std::vector<std::string> names;
    for (const ConsolePort& port : ports) names.push_back(port.name);
    core.SetPorts(names);
  }

  FindSeams ForFind() { return {status, m_controls}; }
  UpgradeSeams ForUpgrade() { return ForUpgrade(progress, boxes); }
  // With other progress and boxes: the console's own, wrapped.
  UpgradeSeams ForUpgrade(IProgressView& shownProgress, IMessageBoxes& shownBoxes) {
    return {files, status, shownProgress, shownBoxes, m_controls};
  }

  CConsoleStatus status;
  CConsoleProgress progress;
  CConsoleBoxes boxes;
  CPlatformImageFiles files;  // opened without sharing, as the dialog program does

 private:
  CNullDialogControls m_controls;  // the console has no port list, file field or button

 public:
  CFirmwareUpdateCore core;  // last: built on the members above
};
