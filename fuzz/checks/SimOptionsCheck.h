#pragma once
// modem-sim's command line on arbitrary arguments: a refusal always says why, an accepted
// line always names ports that are safe to use as file names, every number stays within
// its range, and texts decoded from escapes are the texts that were meant.

#include <cstddef>
#include <cstdint>
#include <string>

// The input is the argument list, arguments separated by zero bytes (at most 32 of them).
// Returns the broken promises, one a line; empty when all held.
std::string CheckSimOptions(const std::uint8_t* data, std::size_t size);
