#pragma once
// The progress window through the erase and the transfer: which phase, how far, of how much.

#include <cstdint>

enum class ProgressPhase {
  kErase,     // done and total in ticks of the erase wait
  kTransfer,  // done and total in bytes of the image
};

struct ProgressReport {
  ProgressPhase phase;
  std::uint32_t done;
  std::uint32_t total;
};

// The image goes out in blocks of this size, one report a block.
constexpr std::uint32_t kTransferBlockSize = 1024;

class IProgressView {
 public:
  virtual ~IProgressView() = default;
  virtual void OpenProgressWindow() = 0;
  // The first report of a phase has done 0; a report may also go back (the erase restarts
  // its count once the erase command is out).
  virtual void ShowProgress(const ProgressReport& report) = 0;
  virtual void CloseProgressWindow() = 0;
};
