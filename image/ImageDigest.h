#pragma once
// What a record of an update says of its image: the path, the length, the SHA-256 of its
// bytes and its version record.

#include <cstdint>
#include <string>
#include <vector>

#include "image/ImageFile.h"
#include "record/FirmwareVersionInfo.h"

struct ImageFacts {
  bool read = false;  // false: the file did not open or read; the rest is empty
  std::string path;
  std::uint64_t size = 0;
  std::string sha256;
  FirmwareVersionInfo record;  // incomplete when the image holds none
};

// Reads the whole file once.
ImageFacts DigestImage(IImageFiles& files, const std::string& name);
// The whole file's bytes; false when it cannot be opened or read to its end.
bool ReadWholeImage(IImageFiles& files, const std::string& name, std::vector<char>& bytes);
// The same of bytes already read.
ImageFacts DigestImageBytes(const std::string& name, const std::vector<char>& bytes);
