#pragma once
// Puts a core into states no front can reach from outside: a port object left held, as by
// an operation under way.

#include <memory>

#include "modem/FirmwareUpdateCore.h"

class CTestCoreAccess {
 public:
  // Opened on COM(index + 1) when an index is given.
  static void HoldPort(CFirmwareUpdateCore& core, int index) {
    core.m_pPort = std::make_unique<CComPort>(core.m_driver);
    if (index >= 0) core.m_pPort->Open(index);
  }
};
