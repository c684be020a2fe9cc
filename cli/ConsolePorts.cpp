#include "cli/ConsolePorts.h"

#include <cctype>

int ComPortNumber(const std::string& name) {
  if (name.size() != 4) return 0;
  for (int i = 0; i < 3; ++i) {
    if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i]) return 0;
  }
  const char n = name[3];
  return n >= '1' && n <= '8' ? n - '0' : 0;
}
