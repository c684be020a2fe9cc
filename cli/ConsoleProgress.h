#pragma once
// The progress window on the console: on a terminal a live bar with percent, bytes, rate
// and time left; otherwise a plain line at every tenth of the way.

#include <cstdint>

#include "cli/ConsoleOut.h"
#include "cli/ProgressMeter.h"
#include "modem/ProgressView.h"

class CConsoleProgress : public IProgressView {
 public:
  explicit CConsoleProgress(CConsoleOut& out) : m_out(out) {}
  // The transfer counts in bytes of the image: its length and the bytes of one step.
  void SetTransferSize(std::uint64_t bytes, std::uint32_t bytesPerStep);

  void OpenProgressWindow() override;
  void SetProgressText(const std::string& text) override;
  void SetProgressRange(std::uint16_t upper) override;
  void SetProgressPos(int pos) override;
  void SetProgressStep(int step) override;
  void StepProgress() override;
  void CloseProgressWindow() override;

 private:
  void Show(bool force);

  CConsoleOut& m_out;
  CProgressMeter m_meter;
  std::uint64_t m_transferBytes = 0;
  std::uint32_t m_bytesPerStep = 0;
  bool m_open = false;
  int m_shownPercent = -1;
  std::uint64_t m_shownAtMs = 0;
};
