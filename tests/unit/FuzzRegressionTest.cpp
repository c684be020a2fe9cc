// Inputs with which a fuzzer once broke a promise, replayed through the very check that
// fuzzer runs (fuzz/checks/). scripts/fuzz keeps a finding under build/fuzz/findings/NAME/;
// it moves to fuzz-cases/NAME/ under a name that says what it was, with a line here.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "fuzz/checks/DialogInitDataCheck.h"
#include "fuzz/checks/DialogueCheck.h"
#include "fuzz/checks/FieldsCheck.h"
#include "fuzz/checks/ImageReaderCheck.h"
#include "fuzz/checks/SimOptionsCheck.h"

namespace {

using Check = std::string (*)(const std::uint8_t*, std::size_t);

// What the check of fuzzer `fuzzer` says of the kept input `name`: empty when all held.
std::string Replay(const std::string& fuzzer, const std::string& name) {
  static const std::map<std::string, Check> kChecks = {{"fields", CheckFields},
                                                       {"image-reader", CheckImageReader},
                                                       {"dialog-init", CheckDialogInitData},
                                                       {"sim-options", CheckSimOptions},
                                                       {"dialogue", CheckDialogue}};
  const std::string path = std::string(FW_FUZZ_CASES_DIR) + "/" + fuzzer + "/" + name;
  std::ifstream in(path, std::ios::binary);
  if (!in) return "cannot read " + path;
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
  return kChecks.at(fuzzer)(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

// No bytes at all: the checks once handed a null pointer to memcpy and memcmp here, which
// clang's UBSan reports at a fuzzer's first input (GCC's lets it pass).
TEST(FuzzRegression, EmptyInputs) {
  EXPECT_EQ(Replay("fields", "empty-input"), "");
  EXPECT_EQ(Replay("dialog-init", "empty-input"), "");
}

// A modem whose DSP date reads "(unbalanced)": the recorder's mark for a window opened twice
// must not be taken from a text the modem chose.
TEST(FuzzRegression, DialogueModemTextNamesTheRecordersMark) {
  EXPECT_EQ(Replay("dialogue", "modem-date-reads-unbalanced"), "");
}

// An erase prompt longer than its read, ending in "READY", and a modem that answers "OK"
// instead of "READY" after the erase: the prompt's tail passed for "READY", the image went
// to a modem still erasing, and its "OK" passed for the final answer: a false success.
TEST(FuzzRegression, DialogueStaleReadyInALongErasePrompt) {
  EXPECT_EQ(Replay("dialogue", "stale-ready-in-a-long-erase-prompt"), "");
}

}  // namespace
