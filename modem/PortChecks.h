#pragma once
// Find, port by port: whether each port it looked at opened and answered, for a front that
// says why no modem was found. The dialog shows none of it.

#include <string>

#include "serial/SerialDriver.h"

struct PortCheck {
  int index;  // in the core's port list
  std::string name;
  OpenFailure openFailure;  // why it did not open; kNone when it opened
  bool found;               // a supported modem answered
};

class IPortChecks {
 public:
  virtual ~IPortChecks() = default;
  virtual void PortChecked(const PortCheck& check) = 0;
};
