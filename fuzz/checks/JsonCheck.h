#pragma once
// fwupdate's JSON writer on arbitrary bytes as a modem's text: the line is valid JSON (no raw
// control byte, valid UTF-8, a parser takes it back), the text reads back as the bytes when
// they are UTF-8, and otherwise the hex field beside it holds every byte.

#include <cstddef>
#include <cstdint>
#include <string>

// Returns the broken promises, one a line; empty when all held.
std::string CheckJson(const std::uint8_t* data, std::size_t size);
