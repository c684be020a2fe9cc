#include "modem/MessageTexts.h"

#include "modem/Format.h"
#include "modem/Texts.h"
#include "serial/PortNames.h"

namespace {

// A port in a text: "COM%d" / "com%d" for COM1..COM8, any other name as it stands.
std::string Named(const PortRef& port, const char* comFormat) {
  const int n = ComPortNumber(port.name);
  return n > 0 ? FormatText(comFormat, n) : port.name;
}

}  // namespace

std::string StatusText(const StatusMessage& m) {
  switch (m.id) {
    case StatusId::kQueryPort:
      return "Query " + Named(m.port, "COM%d") + "...";
    case StatusId::kFoundModem:
      return "Found Orvane modem on " + Named(m.port, "COM%d") + ".";
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

std::string BoxText(const BoxMessage& m) {
  switch (m.id) {
    case BoxId::kCantOpenPort:
    case BoxId::kCantOpenUpgradePort:
      return "Can't open " + Named(m.port, "com%d") + "!";
    case BoxId::kIncorrectImage:
      return text::kIncorrectImage;
    case BoxId::kCantQueryModem:
      return text::kCantQueryModem;
    case BoxId::kCantOpenImage:
      return text::kCantOpenImage;
    case BoxId::kConsent:
      return FormatText(text::kComparison, m.modem.controllerVersion, m.modem.controllerDate,
                        m.modem.dspVersion, m.modem.dspDate, m.image.controllerVersion,
                        m.image.controllerDate, m.image.dspVersion, m.image.dspDate);
    case BoxId::kWarning:
      return text::kWarning;
    case BoxId::kNotReady:
      return text::kNotReady;
    case BoxId::kTransferFailed:
      return text::kTransferFailed;
    case BoxId::kNotConfirmed:
      return text::kNotConfirmed;
    case BoxId::kSuccess:
      return text::kSuccess;
    case BoxId::kCount:
      break;
  }
  return "";
}
