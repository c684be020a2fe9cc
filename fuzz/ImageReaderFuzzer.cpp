// The image reader on arbitrary files with short reads.
#include <cstddef>
#include <cstdint>

#include "fuzz/Report.h"
#include "fuzz/checks/ImageReaderCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Report(CheckImageReader(data, size));
  return 0;
}
