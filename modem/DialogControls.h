#pragma once
// The main dialog's own controls that the operations change: the Upgrade button, the file
// name field and the port list. A front without them takes CNullDialogControls.

#include <string>

class IDialogControls {
 public:
  virtual ~IDialogControls() = default;
  virtual void EnableUpgrade(bool enable) = 0;
  virtual void SetFileNameText(const std::string& text) = 0;
  virtual void SelectPort(int index) = 0;
};
