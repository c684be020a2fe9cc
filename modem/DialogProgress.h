#pragma once
// The dialog's progress window is a text and a bar driven by the common control's messages
// (range, position, step, step it). This adapter turns the core's phases into exactly those
// calls, in the order the window has always had them: every advance steps the bar once, an
// advance of nothing puts it back to 0 (so the bar twitches as the erase command goes out),
// and the window says "Updating..." as soon as the erase has ended, before the transfer's
// range is known.

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
  void BeginPhase(ProgressPhase phase, std::uint32_t total) override;
  void Advance(std::uint32_t done) override;
  void EndPhase(ProgressPhase phase) override;
  void CloseProgressWindow() override;

 private:
  IProgressBar& m_bar;
  bool m_saysUpdating = false;  // the text of the transfer is up
};
