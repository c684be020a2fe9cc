#pragma once
// The ports as the user named them, and the device the platform's driver opens for each.

#include <string>

#include "serial/PortNames.h"  // ComPortNumber

struct ConsolePort {
  std::string name;    // as the user gave it: "COM3", "/dev/ttyUSB0"
  std::string device;  // what the platform's driver opens
};
