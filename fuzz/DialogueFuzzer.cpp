// Find and Upgrade, whole, against a modem the input describes.
#include <cstddef>
#include <cstdint>

#include "fuzz/Report.h"
#include "fuzz/checks/DialogueCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Report(CheckDialogue(data, size));
  return 0;
}
