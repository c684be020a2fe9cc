#include "image/StdioImageFile.h"

#include <limits>

std::unique_ptr<IImageFile> CStdioImageFile::Open(const std::string& name) {
  std::FILE* f = std::fopen(name.c_str(), "rb");
  if (!f) return nullptr;
  return std::unique_ptr<IImageFile>(new CStdioImageFile(f));
}

CStdioImageFile::~CStdioImageFile() { std::fclose(m_file); }

std::uint32_t CStdioImageFile::GetLength() {
  const long here = std::ftell(m_file);
  std::fseek(m_file, 0, SEEK_END);
  const long length = std::ftell(m_file);
  std::fseek(m_file, here, SEEK_SET);
  // The protocol counts in 32 bits; a longer file is cut there, as the dialog program does.
  if (length < 0) return 0;
  if (static_cast<unsigned long>(length) > std::numeric_limits<std::uint32_t>::max())
    return std::numeric_limits<std::uint32_t>::max();
  return static_cast<std::uint32_t>(length);
}

bool CStdioImageFile::Read(void* data, std::uint32_t n, std::uint32_t& done) {
  done = static_cast<std::uint32_t>(std::fread(data, 1, n, m_file));
  return !std::ferror(m_file);
}

bool CStdioImageFile::Seek(std::uint32_t offset) {
  return std::fseek(m_file, static_cast<long>(offset), SEEK_SET) == 0;
}
