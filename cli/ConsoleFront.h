#pragma once
// The console front: the core over the user's ports, with the console's status lines,
// progress bar, questions and sleeps. The commands find, info and upgrade run on it.

#include "cli/ConsoleBoxes.h"
#include "cli/ConsoleOut.h"
#include "cli/ConsolePacing.h"
#include "cli/ConsoleProgress.h"
#include "cli/ConsoleStatus.h"
#include "cli/PortSlots.h"
#include "image/PlatformImageFile.h"
#include "modem/FirmwareUpdateCore.h"

class CConsoleFront {
 public:
  // `driver` opens the devices of the ports (the platform's driver, or a wrapper of it).
  CConsoleFront(CConsoleOut& out, ISerialDriver& driver)
      : status(out, slots),
        progress(out),
        boxes(out, slots),
        m_slotDriver(driver, slots),
        core({m_slotDriver, m_pacing, m_files, status, progress, boxes, m_controls}) {}

  CPortSlots slots;
  CConsoleStatus status;
  CConsoleProgress progress;
  CConsoleBoxes boxes;

 private:
  CPortSlotDriver m_slotDriver;
  CConsolePacing m_pacing;
  CPlatformImageFiles m_files;
  CNoDialogControls m_controls;

 public:
  CFirmwareUpdateCore core;  // last: built on the members above
};
