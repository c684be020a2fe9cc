#include "cli/run/SharedImage.h"

#include <algorithm>

#include "image/BytesImageFile.h"
#include "image/ImageDigest.h"
#include "image/ImageReader.h"
#include "modem/ExitStatus.h"

bool CSharedImageFiles::Load(IImageFiles& from, const std::string& name) {
  return ReadWholeImage(from, name, m_bytes);
}

bool CSharedImageFiles::LoadChecked(IImageFiles& from, const std::string& name,
                                    FirmwareVersionInfo& record, IRunScreen& screen,
                                    CJsonEvents& events, const char* command, int& status) {
  BoxId failed = BoxId::kCount;
  if (!Load(from, name))
    failed = BoxId::kCantOpenImage;
  else if (!ReadImageVersionInfo(*OpenImageFile(name), record))
    failed = BoxId::kIncorrectImage;
  if (failed == BoxId::kCount) return true;
  screen.ImageFailed(failed);
  status = failed == BoxId::kCantOpenImage ? exitcode::kCantOpenImage : exitcode::kIncorrectImage;
  events.End(command, status);
  return false;
}

std::unique_ptr<IImageFile> CSharedImageFiles::OpenImageFile(const std::string&) {
  return std::make_unique<CBytesImageFile>(m_bytes.data(), m_bytes.size());
}
