#pragma once
// Questions and reports to the user: a text, a caption, buttons and an icon.

#include <string>

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
  // type is a box:: button set or'ed with an icon. Returns box::kIdOk or box::kIdCancel.
  virtual int ShowMessageBox(const std::string& text, const std::string& caption,
                             unsigned type) = 0;
};
