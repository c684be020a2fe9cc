// Several ports at once: the image read once for all, and the one question they meet at.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "cli/run/ConsentGate.h"
#include "cli/run/SharedImage.h"
#include "tests/support/MemoryImageFile.h"

// The shared copy is the whole file or nothing, whatever its reads yield, and the file is
// closed again on every way out.
TEST(SharedImage, LoadsTheWholeFileOrRefuses) {
  const std::vector<char> bytes(70000, 'x');
  const struct {
    const char* name;
    void (*arrange)(MemoryImage&);
    bool loads;
  } cases[] = {
      {"whole", [](MemoryImage&) {}, true},
      {"short reads",
       [](MemoryImage& m) {
         m.readSizes = {3, 1000, 1};
       },
       true},
      {"grows while read", [](MemoryImage& m) { m.growAfterRead = 100, m.growBy = 10; }, true},
      {"shrinks while read", [](MemoryImage& m) { m.readSizes = {1000}, m.shrinkAfterRead = 5000; },
       false},
      {"reads fail", [](MemoryImage& m) { m.readFails = true; }, false},
      {"held elsewhere", [](MemoryImage& m) { m.held = true; }, false},
  };
  for (const auto& c : cases) {
    CMemoryFileSystem files;
    c.arrange(files.Put("fw.bin", bytes));
    CSharedImageFiles shared;
    EXPECT_EQ(shared.Load(files, "fw.bin"), c.loads) << c.name;
    if (c.loads) {
      EXPECT_EQ(shared.Bytes(), bytes) << c.name;
    }
    EXPECT_EQ(files.openNow, 0) << c.name;
  }
}

// The question waits for every port: those that bring their records and those that end
// before it; the answer then releases every port that waits, with that answer.
TEST(ConsentGate, AsksOnceWhenEveryPortHasComeOrGone) {
  for (const bool answer : {true, false}) {
    CConsentGate gate(3);
    FirmwareVersionInfo modem, image;
    bool got[3] = {};
    std::vector<std::thread> ports;
    for (int port : {2, 0}) {
      ports.emplace_back([&, port] {
        got[port] = gate.Arrive(port, modem, image);
        gate.Leave(port);  // a port always leaves at its end; after arriving it changes nothing
      });
    }
    ports.emplace_back([&] { gate.Leave(1); });  // failed before the question
    const std::vector<Arrival> arrivals = gate.AwaitAll();
    ASSERT_EQ(arrivals.size(), 2u);
    EXPECT_EQ(arrivals[0].port, 0);
    EXPECT_EQ(arrivals[1].port, 2);
    gate.Answer(answer);
    for (std::thread& t : ports) t.join();
    EXPECT_EQ(got[0], answer);
    EXPECT_EQ(got[2], answer);
    EXPECT_FALSE(got[1]);
  }
}
