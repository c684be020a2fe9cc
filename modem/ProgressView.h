#pragma once
// The progress window: a text and a bar, through the erase and the transfer.

#include <cstdint>
#include <string>

class IProgressView {
 public:
  virtual ~IProgressView() = default;
  virtual void OpenProgressWindow() = 0;
  virtual void SetProgressText(const std::string& text) = 0;
  virtual void SetProgressRange(std::uint16_t upper) = 0;  // range 0..upper
  virtual void SetProgressPos(int pos) = 0;
  virtual void SetProgressStep(int step) = 0;
  virtual void StepProgress() = 0;
  virtual void CloseProgressWindow() = 0;
};
