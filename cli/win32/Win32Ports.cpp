// Ports on Windows: COMn by name (COM10 and above through the \\.\ prefix Windows needs
// for them), or a \\.\ device name as it is.

#include <cctype>
#include <cstdlib>

#include "cli/platform/Platform.h"
#include "serial/win32/Win32SerialDriver.h"

std::string PortDevice(const std::string& name) {
  if (name.compare(0, 4, "\\\\.\\") == 0 && name.size() > 4) return name;
  if (name.size() < 4 || std::toupper(static_cast<unsigned char>(name[0])) != 'C' ||
      std::toupper(static_cast<unsigned char>(name[1])) != 'O' ||
      std::toupper(static_cast<unsigned char>(name[2])) != 'M')
    return "";
  char* end = nullptr;
  const long n = std::strtol(name.c_str() + 3, &end, 10);
  if (*end != '\0' || n < 1 || n > 255 || !std::isdigit(static_cast<unsigned char>(name[3])))
    return "";
  const std::string com = "COM" + std::to_string(n);
  return n <= 9 ? com : "\\\\.\\" + com;
}

std::vector<std::string> DefaultScanPorts() {
  std::vector<std::string> ports;
  for (int n = 1; n <= 8; ++n) ports.push_back("COM" + std::to_string(n));
  return ports;
}

// A COM port's name is already what the user picks it by.
std::string StableName(const std::string&) { return ""; }

// Windows names no group that may use a port.
std::string DeviceGroup(const std::string&) { return ""; }

std::unique_ptr<ISerialDriver> MakeSerialDriver(const std::vector<ConsolePort>& ports) {
  CWin32SerialDriver::PortTable table;
  for (const ConsolePort& port : ports) table[port.name] = port.device;
  return std::make_unique<CWin32SerialDriver>(table);
}
