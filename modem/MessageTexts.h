#pragma once
// The one text of each message, word for word as users and documentation know it. A port is
// named as the dialog program names it (COM3, com3) when it is one of COM1..COM8, otherwise
// as the user gave it. The fronts differ only in how they show a text: a box with its
// caption and icon (app/DialogBoxStyle.h), or a line.

#include <string>

#include "modem/Messages.h"

std::string StatusText(const StatusMessage& message);
std::string BoxText(const BoxMessage& message);
