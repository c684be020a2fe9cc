#pragma once
// The dialog's progress window is a text and a bar driven by the common control's messages
// (range, position, step, step it). This adapter turns the core's reports into exactly
// those calls, in the order the window has always had them.

#include <cstdint>
#include <string>

#include "modem/ProgressView.h"

class IProgressBar {
 public:
  virtual ~IProgressBar() = default;
  virtual void OpenProgressWindow() = 0;
  virtual void SetProgressText(const std::string& text) = 0;
  virtual void SetProgressRange(std::uint16_t upper) = 0;  // range 0..upper
  virtual void SetProgressPos(int pos) = 0;
  virtual void SetProgressStep(int step) = 0;
  virtual void StepProgress() = 0;
  virtual void CloseProgressWindow() = 0;
};

class CDialogProgress : public IProgressView {
 public:
  explicit CDialogProgress(IProgressBar& bar) : m_bar(bar) {}

  void OpenProgressWindow() override;
  void ShowProgress(const ProgressReport& report) override;
  void CloseProgressWindow() override;

 private:
  void BeginPhase(const ProgressReport& report);

  IProgressBar& m_bar;
  bool m_inPhase = false;
  ProgressPhase m_phase = ProgressPhase::kErase;
  std::uint32_t m_done = 0;
};
