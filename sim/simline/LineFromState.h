#pragma once
// What a simulated modem sees of the line settings a host applied to its port.

#include "serial/SerialDriver.h"
#include "sim/engine/LineSettings.h"

inline LineSettings LineFromState(const SerialState& state) {
  LineSettings line;
  line.baudRate = state.BaudRate;
  line.byteSize = state.ByteSize;
  line.parity = state.Parity;
  line.stopBits = state.StopBits;
  line.ctsFlow = state.fOutxCtsFlow;
  line.dtr = state.fDtrControl == DTR_CONTROL_ENABLE;
  return line;
}
