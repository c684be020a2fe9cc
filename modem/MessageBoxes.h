#pragma once
// Questions and reports to the user, as boxes of the dialog or lines and questions of the
// console.

#include "modem/Messages.h"

// The answers to a box, with the Win32 values.
namespace box {
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
}  // namespace box

class IMessageBoxes {
 public:
  virtual ~IMessageBoxes() = default;
  // Returns box::kIdOk or box::kIdCancel (only kConsent asks; the others are answered OK).
  virtual int ShowMessageBox(const BoxMessage& message) = 0;
};
