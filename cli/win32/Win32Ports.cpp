// Ports on Windows: COMn by name (COM10 and above through the \\.\ prefix Windows needs
// for them), or a \\.\ device name as it is.

#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "cli/platform/Platform.h"
#include "serial/win32/Win32SerialDriver.h"

namespace {

// n for "COMn" (n = 1..255, any case), else 0.
int ComNumber(const std::string& name) {
  if (name.size() < 4 || std::toupper(static_cast<unsigned char>(name[0])) != 'C' ||
      std::toupper(static_cast<unsigned char>(name[1])) != 'O' ||
      std::toupper(static_cast<unsigned char>(name[2])) != 'M' ||
      !std::isdigit(static_cast<unsigned char>(name[3])))
    return 0;
  char* end = nullptr;
  const long n = std::strtol(name.c_str() + 3, &end, 10);
  return *end == '\0' && n >= 1 && n <= 255 ? static_cast<int>(n) : 0;
}

}  // namespace

std::string PortDevice(const std::string& name) {
  if (name.compare(0, 4, "\\\\.\\") == 0 && name.size() > 4) return name;
  const int n = ComNumber(name);
  if (n == 0) return "";
  const std::string com = "COM" + std::to_string(n);
  return n <= 9 ? com : "\\\\.\\" + com;
}

// The COM ports the system knows: the serial ports its drivers registered, and every COMn
// defined as a device (a USB adapter is often COM9 or above). In number order, COM1..COM8
// when the system names none.
std::vector<std::string> DefaultScanPorts() {
  std::set<int> numbers;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) ==
      ERROR_SUCCESS) {
    for (DWORD i = 0;; ++i) {
      char name[256], data[64];
      DWORD nameSize = sizeof name, dataSize = sizeof data - 1, type = 0;
      if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data),
                        &dataSize) != ERROR_SUCCESS)
        break;
      data[dataSize] = '\0';
      if (type == REG_SZ) numbers.insert(ComNumber(data));
    }
    RegCloseKey(key);
  }
  std::vector<char> devices(64 * 1024);
  const DWORD length = QueryDosDeviceA(nullptr, devices.data(), static_cast<DWORD>(devices.size()));
  for (const char* p = devices.data(); length > 0 && *p != '\0'; p += std::strlen(p) + 1)
    numbers.insert(ComNumber(p));
  numbers.erase(0);
  if (numbers.empty())
    for (int n = 1; n <= 8; ++n) numbers.insert(n);
  std::vector<std::string> ports;
  for (int n : numbers) ports.push_back("COM" + std::to_string(n));
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
