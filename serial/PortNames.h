#pragma once

// The eight ports the program knows; index i names "COM" i + 1.
constexpr int kPortCount = 8;
extern const char* const PortNames[kPortCount];
