// The walker of a dialog's initialisation data on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "fuzz/Report.h"
#include "fuzz/checks/DialogInitDataCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Report(CheckDialogInitData(data, size));
  return 0;
}
