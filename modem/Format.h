#pragma once
// printf-style filling of the fixed texts into a std::string.

#include <string>

std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
