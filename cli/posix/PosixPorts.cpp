// Ports on Linux and other POSIX systems: COM1..COM8 through the serial driver's default
// table, any device path as it is, USB and ACM adapters first when find looks by itself.

#include <dirent.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "cli/Platform.h"
#include "serial/posix/PosixSerialDriver.h"

namespace {

// The adapters that are present: ttyUSB0, ttyUSB1, ..., ttyUSB10, then ttyACM0, ... .
std::vector<std::string> Adapters() {
  const char* const kPrefixes[] = {"ttyUSB", "ttyACM"};
  std::vector<std::string> out;
  for (const char* prefix : kPrefixes) {
    std::vector<std::pair<long, std::string>> found;
    if (DIR* dir = opendir("/dev")) {
      const std::size_t length = std::strlen(prefix);
      while (const dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        if (std::strncmp(name, prefix, length) != 0 || name[length] == '\0') continue;
        char* end = nullptr;
        const long number = std::strtol(name + length, &end, 10);
        if (*end == '\0') found.emplace_back(number, std::string("/dev/") + name);
      }
      closedir(dir);
    }
    std::sort(found.begin(), found.end());
    for (const auto& f : found) out.push_back(f.second);
  }
  return out;
}

}  // namespace

std::string PortDevice(const std::string& name) {
  if (const int n = ComPortNumber(name)) {
    return CPosixSerialDriver::DefaultPortTable()["COM" + std::to_string(n)];
  }
  return !name.empty() && name[0] == '/' ? name : std::string();
}

std::vector<std::string> DefaultScanPorts() {
  std::vector<std::string> ports = Adapters();
  for (int n = 1; n <= 8; ++n) ports.push_back("COM" + std::to_string(n));
  return ports;
}

std::unique_ptr<ISerialDriver> MakeSerialDriver(const std::vector<ConsolePort>& ports) {
  CPosixSerialDriver::PortTable table;
  for (const ConsolePort& port : ports) table[port.name] = port.device;
  return std::make_unique<CPosixSerialDriver>(table);
}
