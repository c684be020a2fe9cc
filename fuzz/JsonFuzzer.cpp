// fwupdate's JSON writer on arbitrary bytes as a modem's text.
#include <cstddef>
#include <cstdint>

#include "fuzz/Report.h"
#include "fuzz/checks/JsonCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Report(CheckJson(data, size));
  return 0;
}
