#include "modem/DialogTexts.h"

#include "modem/Format.h"
#include "modem/MessageBoxes.h"
#include "modem/Texts.h"

std::string DialogStatusText(const StatusMessage& m) {
  switch (m.id) {
    case StatusId::kQueryPort:
      return FormatText(text::kQueryPort, m.port.index + 1);
    case StatusId::kFoundModem:
      return FormatText(text::kFoundModem, m.port.index + 1);
    case StatusId::kNoModem:
      return text::kNoModem;
    case StatusId::kReadingImage:
      return text::kReadingImage;
    case StatusId::kQueryingModem:
      return text::kQueryingModem;
    case StatusId::kCount:
      break;
  }
  return "";
}

DialogBox DialogMessageBox(const BoxMessage& m) {
  constexpr unsigned kError = box::kOk | box::kIconError;
  switch (m.id) {
    case BoxId::kCantOpenPort:
      return {FormatText(text::kCantOpenPort, m.port.index + 1), text::kCaptionErrorUpper, kError};
    case BoxId::kCantOpenUpgradePort:
      return {FormatText(text::kCantOpenPort, m.port.index + 1), text::kCaptionErrorUpper,
              box::kOk};
    case BoxId::kIncorrectImage:
      return {text::kIncorrectImage, text::kCaptionError, kError};
    case BoxId::kCantQueryModem:
      return {text::kCantQueryModem, text::kCaptionError, kError};
    case BoxId::kCantOpenImage:
      return {text::kCantOpenImage, text::kCaptionErrorUpper, kError};
    case BoxId::kConsent:
      return {FormatText(text::kComparison, m.modem.controllerVersion, m.modem.controllerDate,
                         m.modem.dspVersion, m.modem.dspDate, m.image.controllerVersion,
                         m.image.controllerDate, m.image.dspVersion, m.image.dspDate),
              text::kCaptionConsent, box::kOkCancel | box::kIconQuestion};
    case BoxId::kWarning:
      return {text::kWarning, text::kCaptionWarning, box::kOk | box::kIconExclamation};
    case BoxId::kNotReady:
      return {text::kNotReady, text::kCaptionErrorUpper, kError};
    case BoxId::kTransferFailed:
      return {text::kTransferFailed, text::kCaptionErrorUpper, kError};
    case BoxId::kNotConfirmed:
      return {text::kNotConfirmed, text::kCaptionErrorUpper, kError};
    case BoxId::kSuccess:
      return {text::kSuccess, text::kCaptionSuccess, box::kOk};
    case BoxId::kCount:
      break;
  }
  return {"", "", box::kOk};
}
