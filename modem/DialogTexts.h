#pragma once
// The dialog program's words for the core's messages: the texts of modem/Texts.h, with the
// port's number (index + 1) where they name one, and each box's caption and type.

#include <string>

#include "modem/Messages.h"

struct DialogBox {
  std::string text;
  std::string caption;
  unsigned type;  // box:: buttons or'ed with an icon
};

std::string DialogStatusText(const StatusMessage& message);
DialogBox DialogMessageBox(const BoxMessage& message);
