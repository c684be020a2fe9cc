#pragma once
// Several ports at once: the image is read from its file once, and every port's download
// reads these bytes, each through a file of its own with its own position.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cli/json/JsonEvents.h"
#include "cli/run/RunScreen.h"
#include "image/ImageFile.h"

class CSharedImageFiles : public IImageFiles {
 public:
  // Reads the whole file; false when it cannot be opened or read.
  bool Load(IImageFiles& from, const std::string& name);
  const std::vector<char>& Bytes() const { return m_bytes; }

  // Reads the whole file and checks its record once, before any port is touched: the
  // record, or the box that ends the run (kCantOpenImage, kIncorrectImage) and the run's
  // exit status, told to `screen` and as the end of `command`.
  bool LoadChecked(IImageFiles& from, const std::string& name, FirmwareVersionInfo& record,
                   IRunScreen& screen, CJsonEvents& events, const char* command, int& status);

  // Any name: the one image loaded.
  std::unique_ptr<IImageFile> OpenImageFile(const std::string& name) override;

 private:
  std::vector<char> m_bytes;
};
