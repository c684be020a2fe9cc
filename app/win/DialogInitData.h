#pragma once
// The layout of a dialog's initialisation data, kept apart from Win32 so it can be checked
// anywhere: entries of a 16-bit control ID, a 16-bit message, a 32-bit length and that many
// bytes, ended by a zero ID.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

struct DialogInitEntry {
  std::uint16_t controlId;
  std::uint16_t message;
  std::string data;  // the counted bytes, zero included when the entry carries one
};

// Calls `each` for every whole entry in order. Stops at the zero ID, at the end of the data,
// or at an entry that would run past it (the entries before it still count).
// Returns the number of entries delivered.
std::size_t ForEachDialogInitEntry(const unsigned char* data, std::size_t size,
                                   const std::function<void(const DialogInitEntry&)>& each);
