#include "image/PlatformImageFile.h"

#include "image/StdioImageFile.h"

std::unique_ptr<IImageFile> OpenPlatformImageFile(const std::string& name) {
  return CStdioImageFile::Open(name);
}
