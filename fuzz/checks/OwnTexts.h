#pragma once
// Whether what the dialogue showed is one of the program's own texts, word for word, with
// its own caption and box type.

#include <string>

#include "record/FirmwareVersionInfo.h"

// A message box. `image` is the record the image gives: the consent text must show it as it
// is, and four non-empty fields of at most 39 bytes for the modem.
bool IsOwnBox(const std::string& text, const std::string& caption, unsigned type,
              const FirmwareVersionInfo& image);
bool IsOwnStatusText(const std::string& text);
bool IsOwnProgressText(const std::string& text);
