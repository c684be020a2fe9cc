#pragma once
// How the dialog program shows each message box: its caption, buttons and icon. The text is
// the message's own (modem/MessageTexts.h); only the dialog has boxes. Portable, so that
// tests and fuzzers see the boxes as the dialog shows them.

#include "modem/Messages.h"

// Message box types, with the Win32 values.
namespace box {
constexpr unsigned kOk = 0x00;
constexpr unsigned kOkCancel = 0x01;
constexpr unsigned kIconError = 0x10;
constexpr unsigned kIconQuestion = 0x20;
constexpr unsigned kIconExclamation = 0x30;
constexpr unsigned kButtonsMask = 0x0F;
constexpr unsigned kIconMask = 0xF0;
}  // namespace box

namespace text {
constexpr char kCaptionError[] = "Error";
constexpr char kCaptionErrorUpper[] = "ERROR";
constexpr char kCaptionConsent[] = "Update Firmware";
constexpr char kCaptionWarning[] = "Warning";
constexpr char kCaptionSuccess[] = "Success";
}  // namespace text

struct DialogBoxStyle {
  const char* caption;
  unsigned type;  // box:: buttons or'ed with an icon
};

DialogBoxStyle BoxStyle(BoxId id);
