// The adapters find tries first, listed from a device directory: USB before ACM, each in
// number order, and nothing that only looks like one.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/platform/Platform.h"
#include "cli/posix/AdapterPorts.h"

namespace {

TEST(CliAdapters, UsbThenAcmInNumberOrderFromTheDirectoryGiven) {
  char dir[] = "/tmp/fw-adapters.XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string d = dir;
  const char* const names[] = {"ttyACM0",  "ttyUSB10",   "ttyUSB2", "ttyUSB", "ttyUSB1",
                               "ttyUSB+3", "ttyUSB-1",   "ttyUSBx", "ttyS0",  "ttyACM1a",
                               "ttyUSB 4", "usbttyUSB5", "ttyacm2", "ttyUSB0"};
  for (const char* name : names) std::fclose(std::fopen((d + "/" + name).c_str(), "w"));

  EXPECT_EQ(ListAdapters(d),
            (std::vector<std::string>{d + "/ttyUSB0", d + "/ttyUSB1", d + "/ttyUSB2",
                                      d + "/ttyUSB10", d + "/ttyACM0"}));
  EXPECT_EQ(ListAdapters(d + "/missing"), std::vector<std::string>{});

  for (const char* name : names) std::remove((d + "/" + name).c_str());
  rmdir(dir);
}

// The names a port goes by: COM1..COM8 in any case through the driver's table, a device
// path as it is; anything else is no port.
TEST(CliAdapters, PortNamesAndTheirDevices) {
  const struct {
    const char* name;
    const char* device;
  } cases[] = {{"COM1", "/dev/ttyS0"},
               {"com8", "/dev/ttyS7"},
               {"COM8", "/dev/ttyS7"},
               {"COM9", ""},
               {"COM0", ""},
               {"COM", ""},
               {"/dev/ttyUSB0", "/dev/ttyUSB0"},
               {"ttyUSB0", ""},
               {"", ""}};
  for (const auto& c : cases) EXPECT_EQ(PortDevice(c.name), c.device) << c.name;
}

}  // namespace
