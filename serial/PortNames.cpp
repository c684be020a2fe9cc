#include "serial/PortNames.h"

#include <cctype>

const char* const PortNames[kPortCount] = {"COM1", "COM2", "COM3", "COM4",
                                           "COM5", "COM6", "COM7", "COM8"};

int ComPortNumber(const std::string& name) {
  if (name.size() != 4) return 0;
  for (int i = 0; i < 3; ++i) {
    if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i]) return 0;
  }
  const char n = name[3];
  return n >= '1' && n <= '8' ? n - '0' : 0;
}
