#pragma once
// Why an image named on the command line is refused before any port is touched.

#include <string>

#include "cli/platform/Platform.h"

// The reason as the line under "Can't open firmware file!" gives it after the path:
// "not a regular file (a character device)", "No such file or directory"; empty when the
// check found the file fit to be an image.
std::string ImageRefusalReason(const ImageFileCheck& check);
