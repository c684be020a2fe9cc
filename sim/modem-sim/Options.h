#pragma once
// The command line of modem-sim.

#include <string>
#include <vector>

#include "sim/engine/ModemConfig.h"

struct PortOption {
  std::string name;
  ModemConfig config;
};

struct SimOptions {
  std::string linkDir;
  std::string recordDir;
  unsigned maxSeconds = 3600;
  bool help = false;
  std::vector<PortOption> ports;
};

// Turns \r \n \t \0 \\ and \xHH into their bytes; false on a malformed escape.
bool DecodeEscapes(const std::string& text, std::string& out);

// Parses argv; on failure returns false with a message in `error`.
bool ParseOptions(int argc, char** argv, SimOptions& options, std::string& error);

extern const char* const kUsage;
