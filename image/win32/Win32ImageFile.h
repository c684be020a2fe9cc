#pragma once
// The firmware image through kernel32: read-only, without sharing, so that no other
// program changes it while it is read or sent.

#include <windows.h>

#include <memory>
#include <string>

#include "image/ImageFile.h"

class CWin32ImageFile : public IImageFile {
 public:
  // Null when the file cannot be opened (missing, or held by another program).
  static std::unique_ptr<IImageFile> Open(const std::string& name);
  ~CWin32ImageFile() override;

  std::uint32_t GetLength() override;
  bool Read(void* data, std::uint32_t n, std::uint32_t& done) override;
  bool Seek(std::uint32_t offset) override;

 private:
  explicit CWin32ImageFile(HANDLE h) : m_hFile(h) {}
  HANDLE m_hFile;
};
