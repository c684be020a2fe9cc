#pragma once
// Image files through the C library, for the fronts and tools that are not the dialog
// program: read-only and binary.

#include <cstdio>
#include <memory>
#include <string>

#include "image/ImageFile.h"

class CStdioImageFile : public IImageFile {
 public:
  // Null when the file cannot be opened.
  static std::unique_ptr<IImageFile> Open(const std::string& name);
  ~CStdioImageFile() override;

  std::uint32_t GetLength() override;
  bool Read(void* data, std::uint32_t n, std::uint32_t& done) override;
  bool Seek(std::uint32_t offset) override;

 private:
  explicit CStdioImageFile(std::FILE* f) : m_file(f) {}
  std::FILE* m_file;
};

class CStdioImageFiles : public IImageFiles {
 public:
  std::unique_ptr<IImageFile> OpenImageFile(const std::string& name) override {
    return CStdioImageFile::Open(name);
  }
};
