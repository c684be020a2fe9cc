#pragma once
// Several ports at once: the image is read from its file once, and every port's download
// reads these bytes, each through a file of its own with its own position.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "image/ImageFile.h"

class CSharedImageFiles : public IImageFiles {
 public:
  // Reads the whole file; false when it cannot be opened or read.
  bool Load(IImageFiles& from, const std::string& name);
  const std::vector<char>& Bytes() const { return m_bytes; }

  // Any name: the one image loaded.
  std::unique_ptr<IImageFile> OpenImageFile(const std::string& name) override;

 private:
  std::vector<char> m_bytes;
};
