// The version record of the chosen image; the file is open only within this call.

#include "image/ImageReader.h"
#include "modem/FirmwareUpdateCore.h"

bool CFirmwareUpdateCore::ReadFirmwareFileInfo(FirmwareVersionInfo& image, IImageFiles& files) {
  image.Clear();
  std::unique_ptr<IImageFile> file = files.OpenImageFile(m_strFileName);
  if (!file) return false;
  return ReadImageVersionInfo(*file, image);
}
