#pragma once
// The progress window through the erase and the transfer: a phase begins with its total,
// advances, and ends. Within a phase `done` never goes back.

#include <cstdint>

enum class ProgressPhase {
  kErase,     // done and total in ticks of the erase wait
  kTransfer,  // done and total in bytes of the image
};

// Where a phase stands.
struct ProgressReport {
  ProgressPhase phase;
  std::uint32_t done;
  std::uint32_t total;
};

// The image goes out in blocks of this size, one advance a block.
constexpr std::uint32_t kTransferBlockSize = 1024;

class IProgressView {
 public:
  virtual ~IProgressView() = default;
  virtual void OpenProgressWindow() = 0;
  // Nothing of the phase is done yet.
  virtual void BeginPhase(ProgressPhase phase, std::uint32_t total) = 0;
  // The phase under way has `done` of its total; an advance of 0 says that the work has
  // started although none of it is counted yet (the erase command is out).
  virtual void Advance(std::uint32_t done) = 0;
  // The phase completed. A phase that fails has no end: the window closes.
  virtual void EndPhase(ProgressPhase phase) = 0;
  virtual void CloseProgressWindow() = 0;
};
