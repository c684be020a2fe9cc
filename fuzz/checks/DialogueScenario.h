#pragma once
// One run of the dialogue fuzzer, taken from its input: what the user does, the modem (its
// answers, echo, timing, leftovers, stalls, disappearance, final answer), other devices on
// the ports, the image and what happens to the file while a box is up.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/engine/ModemConfig.h"

enum class Operation { kUpgrade, kFindThenUpgrade, kFind, kUpgradeTwice };

// What happens to the image file while a box is up (the first time that box shows).
struct FileChange {
  std::uint32_t grow = 0;  // bytes appended
  bool hold = false;       // another program opens it without sharing
  bool failReads = false;  // every read fails from now on
};

struct DialogueScenario {
  Operation operation = Operation::kUpgrade;
  int chosenPort = 0;  // the port chosen in the list before anything runs

  int modemPort = 0;
  ModemConfig modem;
  bool otherModem = false;  // a second device, answering the scan as its config says
  int otherPort = 0;
  ModemConfig other;
  std::uint8_t busyPorts = 0;  // bit i: port i is held by another program from the start

  std::vector<char> image;
  bool imageHeld = false;
  bool imageReadFails = false;
  std::int64_t shrinkAfterRead = -1;

  std::uint8_t cancelBoxes = 0;  // bit i: the i-th box shown is answered Cancel
  bool portTakenAtConsent = false;
  FileChange atConsent;
  FileChange atWarning;
};

// Any input decodes into a run; the empty input is a sound modem, a valid image and OK to
// every box.
DialogueScenario DecodeDialogue(const std::uint8_t* data, std::size_t size);
