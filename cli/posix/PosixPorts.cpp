// Ports on Linux and other POSIX systems: COM1..COM8 through the serial driver's default
// table, any device path as it is (udev's stable links too), USB and ACM adapters first
// when find looks by itself.

#include <grp.h>
#include <sys/stat.h>

#include "cli/platform/Platform.h"
#include "cli/posix/AdapterPorts.h"
#include "cli/posix/StableNames.h"
#include "serial/posix/PosixSerialDriver.h"

std::string PortDevice(const std::string& name) {
  if (const int n = ComPortNumber(name)) {
    return CPosixSerialDriver::DefaultPortTable()["COM" + std::to_string(n)];
  }
  return !name.empty() && name[0] == '/' ? name : std::string();
}

std::vector<std::string> DefaultScanPorts() {
  std::vector<std::string> ports = ListAdapters("/dev");
  for (int n = 1; n <= 8; ++n) ports.push_back("COM" + std::to_string(n));
  return ports;
}

std::string StableName(const std::string& device) {
  return StableNameIn(device, {"/dev/serial/by-path", "/dev/serial/by-id"});
}

std::string DeviceGroup(const std::string& device) {
  struct stat info {};
  if (stat(device.c_str(), &info) != 0) return "";
  const group* owner = getgrgid(info.st_gid);
  return owner && owner->gr_name ? owner->gr_name : "";
}

std::unique_ptr<ISerialDriver> MakeSerialDriver(const std::vector<ConsolePort>& ports) {
  CPosixSerialDriver::PortTable table;
  for (const ConsolePort& port : ports) table[port.name] = port.device;
  return std::make_unique<CPosixSerialDriver>(table);
}
