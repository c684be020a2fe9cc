#pragma once

#include <string>

// The eight ports the program knows; index i names "COM" i + 1.
constexpr int kPortCount = 8;
extern const char* const PortNames[kPortCount];

// n for "COMn" (any case, n = 1..8), else 0.
int ComPortNumber(const std::string& name);
