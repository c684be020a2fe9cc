#pragma once
// The image file of the platform the program runs on, chosen by CMake: on Windows through
// kernel32 without sharing, as the dialog program opens it, so that no other program
// writes the image while it is read or sent; elsewhere through the C library.

#include <memory>
#include <string>

#include "image/ImageFile.h"

// Null when the file cannot be opened (missing, or on Windows held by a writer).
std::unique_ptr<IImageFile> OpenPlatformImageFile(const std::string& name);

class CPlatformImageFiles : public IImageFiles {
 public:
  std::unique_ptr<IImageFile> OpenImageFile(const std::string& name) override {
    return OpenPlatformImageFile(name);
  }
};
