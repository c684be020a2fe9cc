// The stable name of a device, looked up in link folders made like udev's /dev/serial/by-path
// and by-id: by-path wins, links that lead nowhere never match, and a device named through
// a link finds its stable name too.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "cli/posix/StableNames.h"
#include "tests/support/TempDir.h"

namespace {

using Links = std::vector<std::pair<const char*, const char*>>;  // link, its target

TEST(CliStableNames, ByPathThenByIdAndOnlyLinksThatLeadToTheDevice) {
  const struct {
    const char* what;
    Links links;           // relative to the folder, targets relative as udev makes them
    const char* device;    // relative to the folder
    const char* expected;  // relative to the folder, or "" for none
  } cases[] = {
      {"by-path before by-id",
       {{"by-id/usb-Orvane_X-if00-port0", "../ttyUSB0"}, {"by-path/pci-usb-0:2:1.0", "../ttyUSB0"}},
       "ttyUSB0",
       "by-path/pci-usb-0:2:1.0"},
      {"by-id when by-path has no link to it",
       {{"by-path/pci-usb-0:1:1.0", "../ttyUSB1"}, {"by-id/usb-Orvane_X-if00-port0", "../ttyUSB0"}},
       "ttyUSB0",
       "by-id/usb-Orvane_X-if00-port0"},
      {"a dangling link is passed over",
       {{"by-path/pci-usb-0:1:1.0", "../ttyUSB9"}, {"by-path/pci-usb-0:2:1.0", "../ttyUSB0"}},
       "ttyUSB0",
       "by-path/pci-usb-0:2:1.0"},
      {"no link to it", {{"by-path/pci-usb-0:1:1.0", "../ttyUSB1"}}, "ttyUSB0", ""},
      // Both lead nowhere: that is no match.
      {"a missing device and a dangling link to it",
       {{"by-path/pci-usb-0:1:1.0", "../ttyUSB9"}},
       "ttyUSB9",
       ""},
      {"a device named through a link",
       {{"by-id/usb-Orvane_X-if00-port0", "../ttyUSB0"}, {"by-path/pci-usb-0:2:1.0", "../ttyUSB0"}},
       "by-id/usb-Orvane_X-if00-port0",
       "by-path/pci-usb-0:2:1.0"},
      {"a link to a link",
       {{"by-path/pci-usb-0:2:1.0", "../alias"}, {"alias", "ttyUSB0"}},
       "ttyUSB0",
       "by-path/pci-usb-0:2:1.0"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const std::string d = dir.Path();
    ASSERT_FALSE(d.empty());
    for (const char* sub : {"/by-path", "/by-id"}) ASSERT_EQ(mkdir((d + sub).c_str(), 0755), 0);
    for (const char* device : {"/ttyUSB0", "/ttyUSB1"})
      std::fclose(std::fopen((d + device).c_str(), "w"));
    // A file in a link folder is no link and names nothing.
    std::fclose(std::fopen((d + "/by-path/0-not-a-link").c_str(), "w"));
    for (const auto& link : c.links)
      ASSERT_EQ(symlink(link.second, (d + "/" + link.first).c_str()), 0) << link.first;

    const std::string expected = *c.expected ? d + "/" + c.expected : "";
    EXPECT_EQ(StableNameIn(d + "/" + c.device, {d + "/by-path", d + "/by-id"}), expected) << c.what;
    // A system without the folders has no stable names.
    EXPECT_EQ(StableNameIn(d + "/" + c.device, {d + "/missing"}), "") << c.what;
  }
}

}  // namespace
