#include "image/PlatformImageFile.h"

#include "image/win32/Win32ImageFile.h"

std::unique_ptr<IImageFile> OpenPlatformImageFile(const std::string& name) {
  return CWin32ImageFile::Open(name);
}
