#pragma once
// Image files as the reader and the download see them: opened by name, read in blocks.

#include <cstdint>
#include <memory>
#include <string>

// An image file opened read-only, binary, without sharing; closed when destroyed.
class IImageFile {
 public:
  virtual ~IImageFile() = default;
  virtual std::uint32_t GetLength() = 0;
  // Reads up to n bytes at the current position; false on a read error.
  virtual bool Read(void* data, std::uint32_t n, std::uint32_t& done) = 0;
  // Moves to an offset from the start; false on error.
  virtual bool Seek(std::uint32_t offset) = 0;
};

// Where image files come from: the platform's file system, or memory in tests.
class IImageFiles {
 public:
  virtual ~IImageFiles() = default;
  // Opens a file by name relative to the current folder; null when it cannot be opened.
  virtual std::unique_ptr<IImageFile> OpenImageFile(const std::string& name) = 0;
};
