#pragma once
// What each way an upgrade ends means, decided once: its key for machines, the exit status,
// what the modem's flash holds now, the message that reports it and the words of a summary.
// Every front looks its outcomes up here; none switches over them. A result added to the
// enum without its row fails the build.

#include <cstddef>

#include "modem/ExitStatus.h"
#include "modem/Messages.h"
#include "modem/Outcomes.h"

// What the modem's flash holds once an upgrade has ended (or is stopped).
enum class FlashState {
  kUntouched,      // nothing was erased or written: the modem works as before
  kMayBeErased,    // the erase was under way or done, nothing of the image written
  kPartlyWritten,  // some or all of the image went out, the modem did not confirm it
  kWritten,        // the modem took the whole image and said OK
  kCount
};

struct FlashStateRow {
  FlashState state;
  const char* key;    // --json "flash_state"
  const char* words;  // where a port was left, for people
};

inline constexpr FlashStateRow kFlashStates[] = {
    {FlashState::kUntouched, "untouched", "untouched: its firmware was not touched"},
    {FlashState::kMayBeErased, "may_be_erased",
     "erased: the flash may be erased; it will not work until an upgrade completes"},
    {FlashState::kPartlyWritten, "partly_written",
     "half written: it will not work until an upgrade completes"},
    {FlashState::kWritten, "written", "updated"},
};

struct OutcomeRow {
  UpgradeResult result;
  const char* key;  // --json "outcome"
  int exitStatus;
  FlashState flash;
  const char* messageKey;  // --json "message_id"
  // The box that reports it, in each front's words; kCount where no box does and `line`
  // says it instead (with the port's name for %s).
  BoxId box;
  const char* line;
  const char* summary;  // the cell of a summary of several ports
};

inline constexpr char kDeviceGoneLine[] =
    "%s: the device went away: the adapter was pulled out or lost power.";

inline constexpr OutcomeRow kOutcomes[] = {
    {UpgradeResult::kDone, "done", exitcode::kDone, FlashState::kWritten, "success",
     BoxId::kSuccess, nullptr, "updated"},
    {UpgradeResult::kDeclined, "declined", exitcode::kDeclined, FlashState::kUntouched, "declined",
     BoxId::kCount, "Not updated: nothing was written to the modem.", "declined, untouched"},
    {UpgradeResult::kCantOpenPort, "cant_open_port", exitcode::kCantOpenPort,
     FlashState::kUntouched, "cant_open_port", BoxId::kCantOpenPort, nullptr,
     "port did not open, untouched"},
    {UpgradeResult::kQueryFailed, "query_failed", exitcode::kCantQueryModem, FlashState::kUntouched,
     "cant_query_modem", BoxId::kCantQueryModem, nullptr, "no versions, untouched"},
    {UpgradeResult::kCantOpenImage, "cant_open_image", exitcode::kCantOpenImage,
     FlashState::kUntouched, "cant_open_image", BoxId::kCantOpenImage, nullptr,
     "image did not open, untouched"},
    {UpgradeResult::kIncorrectImage, "incorrect_image", exitcode::kIncorrectImage,
     FlashState::kUntouched, "incorrect_image", BoxId::kIncorrectImage, nullptr,
     "incorrect image, untouched"},
    {UpgradeResult::kNotReady, "not_ready", exitcode::kNotReady, FlashState::kMayBeErased,
     "not_ready", BoxId::kNotReady, nullptr, "not ready (flash may be erased)"},
    {UpgradeResult::kTransferIncomplete, "transfer_incomplete", exitcode::kTransferFailed,
     FlashState::kPartlyWritten, "transfer_failed", BoxId::kTransferFailed, nullptr,
     "transfer failed (half written)"},
    {UpgradeResult::kNotConfirmed, "not_confirmed", exitcode::kNotConfirmed,
     FlashState::kPartlyWritten, "not_confirmed", BoxId::kNotConfirmed, nullptr,
     "not confirmed (may be half written)"},
    {UpgradeResult::kCurrent, "current", exitcode::kDone, FlashState::kUntouched, "current",
     BoxId::kCount,
     "Current: the modem on %s already has the image's versions and dates; nothing was "
     "written.",
     "current, untouched"},
    {UpgradeResult::kWouldUpdate, "would_update", exitcode::kDone, FlashState::kUntouched,
     "would_update", BoxId::kCount,
     "Would update: the modem on %s reports other versions or dates than the image; nothing "
     "was written.",
     "would update, untouched"},
    // The transfer-failed box (the dialog's), with the console's own line naming the port.
    {UpgradeResult::kDeviceGoneErasing, "device_gone_erasing", exitcode::kDeviceGoneErasing,
     FlashState::kMayBeErased, "device_gone", BoxId::kCount, kDeviceGoneLine,
     "device went away (flash may be erased)"},
    {UpgradeResult::kDeviceGone, "device_gone", exitcode::kDeviceGone, FlashState::kPartlyWritten,
     "device_gone", BoxId::kCount, kDeviceGoneLine, "device went away (half written)"},
    // Where the flash stood when fwupdate was stopped is known only then: the stop's report
    // says it port by port; the row's state is what is assumed where nothing said more.
    {UpgradeResult::kInterrupted, "interrupted", exitcode::kInterrupted, FlashState::kMayBeErased,
     "interrupted", BoxId::kCount, "fwupdate was stopped while it worked on %s.", "interrupted"},
};

namespace outcome_table {
template <typename Row, typename Enum, std::size_t N>
constexpr bool InEnumOrder(const Row (&rows)[N], Enum Row::*field) {
  for (std::size_t i = 0; i < N; ++i)
    if (rows[i].*field != static_cast<Enum>(i)) return false;
  return true;
}
}  // namespace outcome_table

static_assert(sizeof kOutcomes / sizeof kOutcomes[0] ==
                  static_cast<std::size_t>(UpgradeResult::kCount),
              "every upgrade result needs its row in kOutcomes");
static_assert(outcome_table::InEnumOrder(kOutcomes, &OutcomeRow::result),
              "kOutcomes lists the results in the enum's order");
static_assert(sizeof kFlashStates / sizeof kFlashStates[0] ==
                  static_cast<std::size_t>(FlashState::kCount),
              "every flash state needs its row in kFlashStates");
static_assert(outcome_table::InEnumOrder(kFlashStates, &FlashStateRow::state),
              "kFlashStates lists the states in the enum's order");

// kCount, which no operation returns: a fault of the program, never a success, and the
// flash is taken to be at risk.
inline constexpr OutcomeRow kNoOutcome = {UpgradeResult::kCount,
                                          "internal_error",
                                          70,
                                          FlashState::kMayBeErased,
                                          "internal_error",
                                          BoxId::kCount,
                                          "fwupdate ended %s without an outcome.",
                                          "no outcome (internal error)"};

constexpr const OutcomeRow& OutcomeOf(UpgradeResult result) {
  const auto i = static_cast<std::size_t>(result);
  return i < static_cast<std::size_t>(UpgradeResult::kCount) ? kOutcomes[i] : kNoOutcome;
}
constexpr const FlashStateRow& FlashStateOf(FlashState state) {
  const auto i = static_cast<std::size_t>(state);
  return i < static_cast<std::size_t>(FlashState::kCount) ? kFlashStates[i] : kFlashStates[0];
}
// Whether the modem may not work until an upgrade completes.
constexpr bool FlashAtRisk(FlashState state) {
  return state == FlashState::kMayBeErased || state == FlashState::kPartlyWritten;
}
