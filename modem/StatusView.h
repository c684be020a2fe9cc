#pragma once
// The status window: one line of text while Find or the version reading runs.

#include <string>

class IStatusView {
 public:
  virtual ~IStatusView() = default;
  virtual void OpenStatusWindow() = 0;
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void CloseStatusWindow() = 0;
};
