#include "fuzz/checks/DialogueTimeBound.h"

#include <limits>

#include "modem/PortSetup.h"
#include "serial/PortNames.h"

namespace {

constexpr std::uint64_t kEndless = std::numeric_limits<std::uint64_t>::max() / 4;

// The allowance of one transfer of n bytes; endless when the set gives none.
std::uint64_t ReadMs(const TimeoutSet& t, std::uint32_t n) {
  if (t.readTotalMultiplier == 0 && t.readTotalConstant == 0) return kEndless;
  return std::uint64_t{t.readTotalMultiplier} * n + t.readTotalConstant;
}
std::uint64_t WriteMs(const TimeoutSet& t, std::uint32_t n) {
  if (t.writeTotalMultiplier == 0 && t.writeTotalConstant == 0) return kEndless;
  return std::uint64_t{t.writeTotalMultiplier} * n + t.writeTotalConstant;
}

constexpr std::uint32_t kCommandLength = 10;  // the longest command, "AT+F56=90\r"
constexpr std::uint32_t kTransferBlock = 1024;

// Per port: a pause before the open, the reset and its answer of 30 bytes, the
// identification and its answer of 40, a pause after each command.
constexpr std::uint64_t kScanPausesPerPortMs = 3 * 200;
constexpr std::uint64_t kScanResultPauseMs = 2000;

// Before the query, its three answer pauses, around the consent, after the warning, after
// the reset, before the erase prompt, the hundred ticks of the erase, before the transfer.
constexpr std::uint64_t kUpgradePausesMs =
    500 + 3 * 500 + 100 + 100 + 500 + 500 + 2000 + 100 * 100 + 100;

}  // namespace

std::uint64_t FindBoundMs() {
  const TimeoutSet& t = timeouts::kScan;
  const std::uint64_t perPort =
      kScanPausesPerPortMs + 2 * WriteMs(t, kCommandLength) + ReadMs(t, 30) + ReadMs(t, 40);
  return kPortCount * perPort + kScanResultPauseMs;
}

std::uint64_t UpgradeBoundMs(std::uint32_t imageLength) {
  const std::uint64_t query =
      3 * WriteMs(timeouts::kQuery, kCommandLength) + 2 * ReadMs(timeouts::kQuery, 60);
  const std::uint64_t erase = WriteMs(timeouts::kUpgradePreparation, kCommandLength) +
                              2 * WriteMs(timeouts::kErase, kCommandLength) +
                              ReadMs(timeouts::kErase, 60) + ReadMs(timeouts::kErase, 20);
  const std::uint64_t blocks = (std::uint64_t{imageLength} + kTransferBlock - 1) / kTransferBlock;
  const std::uint64_t transfer =
      blocks * WriteMs(timeouts::kTransfer, kTransferBlock) + ReadMs(timeouts::kTransfer, 4);
  return kUpgradePausesMs + query + erase + transfer;
}
