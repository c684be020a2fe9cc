// Ports on Linux and other POSIX systems: COM1..COM8 through the serial driver's default
// table, any device path as it is, USB and ACM adapters first when find looks by itself.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "cli/Platform.h"
#include "cli/PortSlots.h"
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

std::unique_ptr<ISerialDriver> MakeSerialDriver(const std::vector<std::string>& devices) {
  CPosixSerialDriver::PortTable table;
  for (const std::string& device : devices) table[device] = device;
  return std::make_unique<CPosixSerialDriver>(table);
}

std::string PortOpenHint(const std::string& device) {
  struct stat info {};
  if (stat(device.c_str(), &info) != 0) {
    return errno == ENOENT ? "no such device" : std::strerror(errno);
  }
  if (access(device.c_str(), R_OK | W_OK) != 0) {
    return "no permission (on most systems members of the group dialout may use serial ports)";
  }
  if (!S_ISCHR(info.st_mode)) return "not a serial device";
  return "busy (held by another program?) or not a serial device";
}
