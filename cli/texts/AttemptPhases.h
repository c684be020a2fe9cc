#pragma once
// The phases of a port's attempt, as the history and --json name and time them: the version
// query, the question, the erase, the transfer and the modem's final answer.

#include <array>
#include <cstdint>

enum class AttemptPhase { kQuery, kConsent, kErase, kTransfer, kFinal, kCount };
constexpr int kAttemptPhaseCount = static_cast<int>(AttemptPhase::kCount);

// "query", "consent", "erase", "transfer", "final".
constexpr const char* kAttemptPhaseKeys[kAttemptPhaseCount] = {"query", "consent", "erase",
                                                               "transfer", "final"};
inline const char* AttemptPhaseKey(AttemptPhase phase) {
  return kAttemptPhaseKeys[static_cast<int>(phase)];
}

// What a port's attempt adds to its end: how long each phase took (0 for one never
// reached), the last phase reached, and the history's row (0 when none was written).
struct AttemptFigures {
  std::array<std::uint64_t, kAttemptPhaseCount> phaseMs{};
  AttemptPhase reached = AttemptPhase::kQuery;
  std::int64_t historyId = 0;
};
