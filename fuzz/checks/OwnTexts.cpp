#include "fuzz/checks/OwnTexts.h"

#include <cstring>
#include <vector>

#include "app/DialogBoxStyle.h"
#include "modem/Format.h"
#include "modem/MessageBoxes.h"
#include "modem/Texts.h"
#include "serial/PortNames.h"

namespace {

bool IsPortText(const std::string& text, const char* format) {
  for (int port = 1; port <= kPortCount; ++port)
    if (text == FormatText(format, port)) return true;
  return false;
}

// The comparison text: the literal pieces of its format in order, the modem's four fields
// (1 to 39 bytes each) between the first five, the image's fields exactly as the image has
// them. Positions reachable after each piece are tracked, so odd fields cannot mislead it.
bool IsComparison(const std::string& text, const FirmwareVersionInfo& image) {
  std::vector<std::string> pieces;
  const std::string format = text::kComparison;
  for (std::size_t at = 0;;) {
    const std::size_t next = format.find("%s", at);
    pieces.push_back(format.substr(at, next == std::string::npos ? next : next - at));
    if (next == std::string::npos) break;
    at = next + 2;
  }
  if (pieces.size() != 9) return false;
  const char* imageFields[] = {image.controllerVersion, image.controllerDate, image.dspVersion,
                               image.dspDate};
  std::string tail = pieces[4];
  for (int i = 0; i < 4; ++i) tail += imageFields[i] + pieces[5 + i];

  std::vector<bool> at(text.size() + 1, false);
  at[0] = true;
  auto literal = [&](const std::string& piece) {
    std::vector<bool> next(text.size() + 1, false);
    for (std::size_t p = 0; p + piece.size() <= text.size(); ++p)
      if (at[p] && text.compare(p, piece.size(), piece) == 0) next[p + piece.size()] = true;
    at.swap(next);
  };
  auto field = [&] {
    std::vector<bool> next(text.size() + 1, false);
    for (std::size_t p = 0; p < text.size(); ++p) {
      if (!at[p]) continue;
      for (std::size_t n = 1; n < kVersionFieldSize && p + n <= text.size(); ++n) {
        if (text[p + n - 1] == '\0') break;
        next[p + n] = true;
      }
    }
    at.swap(next);
  };
  for (int i = 0; i < 4; ++i) {
    literal(pieces[i]);
    field();
  }
  literal(tail);
  return at[text.size()];
}

}  // namespace

bool IsOwnBox(const std::string& text, const std::string& caption, unsigned type,
              const FirmwareVersionInfo& image) {
  struct Box {
    const char* text;
    const char* caption;
    unsigned type;
  };
  static const Box kBoxes[] = {
      {text::kIncorrectImage, text::kCaptionError, box::kOk | box::kIconError},
      {text::kCantQueryModem, text::kCaptionError, box::kOk | box::kIconError},
      {text::kCantOpenImage, text::kCaptionErrorUpper, box::kOk | box::kIconError},
      {text::kWarning, text::kCaptionWarning, box::kOk | box::kIconExclamation},
      {text::kNotReady, text::kCaptionErrorUpper, box::kOk | box::kIconError},
      {text::kTransferFailed, text::kCaptionErrorUpper, box::kOk | box::kIconError},
      {text::kNotConfirmed, text::kCaptionErrorUpper, box::kOk | box::kIconError},
      {text::kSuccess, text::kCaptionSuccess, box::kOk},
  };
  for (const Box& b : kBoxes)
    if (text == b.text) return caption == b.caption && type == b.type;
  // The query's box has the error icon, the upgrade's none.
  if (IsPortText(text, text::kCantOpenPort))
    return caption == text::kCaptionErrorUpper &&
           (type == box::kOk || type == (box::kOk | box::kIconError));
  return caption == text::kCaptionConsent && type == (box::kOkCancel | box::kIconQuestion) &&
         IsComparison(text, image);
}

bool IsOwnStatusText(const std::string& text) {
  return text == text::kReadingImage || text == text::kQueryingModem || text == text::kNoModem ||
         IsPortText(text, text::kQueryPort) || IsPortText(text, text::kFoundModem);
}

bool IsOwnProgressText(const std::string& text) {
  return text == text::kErasing || text == text::kUpdating;
}
