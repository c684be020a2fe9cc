#pragma once
// Questions and reports to the user, as boxes of the dialog or lines and questions of the
// console.

#include "modem/Messages.h"

// Message box types and answers, with the Win32 values.
namespace box {
constexpr unsigned kOk = 0x00;
constexpr unsigned kOkCancel = 0x01;
constexpr unsigned kIconError = 0x10;
constexpr unsigned kIconQuestion = 0x20;
constexpr unsigned kIconExclamation = 0x30;
constexpr unsigned kButtonsMask = 0x0F;
constexpr unsigned kIconMask = 0xF0;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
}  // namespace box

class IMessageBoxes {
 public:
  virtual ~IMessageBoxes() = default;
  // Returns box::kIdOk or box::kIdCancel (only kConsent asks; the others are answered OK).
  virtual int ShowMessageBox(const BoxMessage& message) = 0;
};
