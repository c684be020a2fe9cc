// modem-sim's command line on arbitrary arguments.
#include <cstddef>
#include <cstdint>

#include "fuzz/Report.h"
#include "fuzz/checks/SimOptionsCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Report(CheckSimOptions(data, size));
  return 0;
}
