#pragma once
// The command line of modem-sim.

#include <cstdint>
#include <string>
#include <vector>

#include "sim/engine/ModemConfig.h"

// Modems that come and go on a port, one after another, as on a line's station: each is
// present for `stayMs`, then the port is silent for `gapMs` before the next arrives, a new
// modem with the port's versions. None: one modem, always there.
struct UnitSchedule {
  int units = 0;
  std::uint64_t stayMs = 25000;
  std::uint64_t gapMs = 2000;
  std::vector<int> neverReady;  // these units (from 1) never say READY after the erase
  std::vector<int> unplugged;   // these are pulled out 3000 bytes into their transfer
};

struct PortOption {
  std::string name;
  ModemConfig config;
  UnitSchedule schedule;
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
