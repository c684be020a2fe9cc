#include "cli/run/SharedImage.h"

#include <algorithm>

#include "image/BytesImageFile.h"

bool CSharedImageFiles::Load(IImageFiles& from, const std::string& name) {
  std::unique_ptr<IImageFile> file = from.OpenImageFile(name);
  if (!file) return false;
  m_bytes.assign(file->GetLength(), 0);
  std::uint32_t filled = 0;
  while (filled < m_bytes.size()) {
    std::uint32_t got = 0;
    const std::uint32_t want = static_cast<std::uint32_t>(m_bytes.size()) - filled;
    if (!file->Read(m_bytes.data() + filled, want, got) || got == 0) return false;
    filled += std::min(got, want);
  }
  return true;
}

std::unique_ptr<IImageFile> CSharedImageFiles::OpenImageFile(const std::string&) {
  return std::make_unique<CBytesImageFile>(m_bytes.data(), m_bytes.size());
}
