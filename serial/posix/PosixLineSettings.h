#pragma once
// SerialState <-> termios: the line settings CComPort touches, leaving the rest alone.

#include <termios.h>

#include "serial/SerialDriver.h"

// Fills the line settings from a termios; false when its speed has no baud-rate number.
bool ReadLineSettings(const termios& tio, SerialState& state);
// Applies the line settings to a termios; false for a speed, size, parity or stop-bit code
// the device cannot take (the termios may then be partly changed).
bool WriteLineSettings(const SerialState& state, termios& tio);
// Raw bytes in both directions; reads never block in the kernel (the driver polls).
void MakeRaw(termios& tio);
