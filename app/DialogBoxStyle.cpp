#include "app/DialogBoxStyle.h"

DialogBoxStyle BoxStyle(BoxId id) {
  constexpr unsigned kError = box::kOk | box::kIconError;
  switch (id) {
    case BoxId::kCantOpenPort:
      return {text::kCaptionErrorUpper, kError};
    case BoxId::kCantOpenUpgradePort:
      return {text::kCaptionErrorUpper, box::kOk};
    case BoxId::kIncorrectImage:
    case BoxId::kCantQueryModem:
      return {text::kCaptionError, kError};
    case BoxId::kCantOpenImage:
    case BoxId::kNotReady:
    case BoxId::kTransferFailed:
    case BoxId::kNotConfirmed:
      return {text::kCaptionErrorUpper, kError};
    case BoxId::kConsent:
      return {text::kCaptionConsent, box::kOkCancel | box::kIconQuestion};
    case BoxId::kWarning:
      return {text::kCaptionWarning, box::kOk | box::kIconExclamation};
    case BoxId::kSuccess:
      return {text::kCaptionSuccess, box::kOk};
    case BoxId::kCount:
      break;
  }
  return {"", box::kOk};
}
