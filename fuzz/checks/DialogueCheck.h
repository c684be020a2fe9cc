#pragma once
// Find and Upgrade of the core, whole, on the simulated line and virtual clock, against a
// modem the input describes (DialogueScenario.h). After every operation: success only when
// a modem took exactly the image's bytes in order and answered "OK"; an end within the
// bound the time-outs give; port and file released, no window left open; only the
// program's own texts shown.

#include <cstddef>
#include <cstdint>
#include <string>

// Returns the broken promises, one a line; empty when all held.
std::string CheckDialogue(const std::uint8_t* data, std::size_t size);
