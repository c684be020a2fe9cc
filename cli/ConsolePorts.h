#pragma once
// The ports as the user named them, and the device the platform's driver opens for each.

#include <string>

struct ConsolePort {
  std::string name;    // as the user gave it: "COM3", "/dev/ttyUSB0"
  std::string device;  // what the platform's driver opens
};

// n for "COMn" (any case, n = 1..8), else 0.
int ComPortNumber(const std::string& name);
