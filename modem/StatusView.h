#pragma once
// The status window: one line while Find or the version reading runs.

#include "modem/Messages.h"

class IStatusView {
 public:
  virtual ~IStatusView() = default;
  virtual void OpenStatusWindow() = 0;
  virtual void ShowStatus(const StatusMessage& message) = 0;
  virtual void CloseStatusWindow() = 0;
};
