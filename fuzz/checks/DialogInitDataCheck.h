#pragma once
// The walker of a dialog's initialisation data on arbitrary bytes: it delivers exactly the
// whole entries the data starts with, in order, reads nothing past the data, and a shorter
// copy of the same data delivers a start of the same entries.

#include <cstddef>
#include <cstdint>
#include <string>

// Returns the broken promises, one a line; empty when all held.
std::string CheckDialogInitData(const std::uint8_t* data, std::size_t size);
