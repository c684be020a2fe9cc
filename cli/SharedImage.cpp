#include "cli/SharedImage.h"

#include <algorithm>
#include <cstring>

namespace {

class CSharedImageFile : public IImageFile {
 public:
  explicit CSharedImageFile(const std::vector<char>& bytes) : m_bytes(bytes) {}
  std::uint32_t GetLength() override { return static_cast<std::uint32_t>(m_bytes.size()); }
  bool Read(void* data, std::uint32_t n, std::uint32_t& done) override {
    done = static_cast<std::uint32_t>(std::min<std::size_t>(n, m_bytes.size() - m_position));
    if (done > 0) std::memcpy(data, m_bytes.data() + m_position, done);
    m_position += done;
    return true;
  }
  bool Seek(std::uint32_t offset) override {
    if (offset > m_bytes.size()) return false;
    m_position = offset;
    return true;
  }

 private:
  const std::vector<char>& m_bytes;
  std::size_t m_position = 0;
};

}  // namespace

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
  return std::make_unique<CSharedImageFile>(m_bytes);
}
