#pragma once
// The field readers on arbitrary bytes: matches are real and lowest, fields stay within
// their 40 bytes, are terminated, and hold only bytes the data holds where it holds them.

#include <cstddef>
#include <cstdint>
#include <string>

// Returns the broken promises, one a line; empty when all held.
std::string CheckFields(const std::uint8_t* data, std::size_t size);
