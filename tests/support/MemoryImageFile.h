#pragma once
// Image files served from memory, with the faults a real file system can show: a file held
// open by another program, one that shrinks or grows while it is read, one whose reads fail,
// one whose reads yield fewer bytes than asked although more are there.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "image/ImageFile.h"

struct MemoryImage {
  std::vector<char> bytes;
  bool held = false;                  // opened without sharing elsewhere: every open fails
  std::int64_t shrinkAfterRead = -1;  // once this many bytes were read, the file ends there
  std::int64_t growAfterRead = -1;    // once this many bytes were read, growBy bytes are added
  std::size_t growBy = 0;
  bool readFails = false;
  // When set, read i yields at most readSizes[i % size()] bytes: the short reads a file
  // system may give at any point, not only at the end.
  std::vector<std::uint32_t> readSizes;
};

class CMemoryFileSystem : public IImageFiles {
 public:
  MemoryImage& Put(const std::string& name, std::vector<char> bytes) {
    MemoryImage& image = m_files[name];
    image.bytes = std::move(bytes);
    return image;
  }
  MemoryImage& Get(const std::string& name) { return m_files[name]; }

  std::unique_ptr<IImageFile> Open(const std::string& name);
  std::unique_ptr<IImageFile> OpenImageFile(const std::string& name) override { return Open(name); }

  int opens = 0;                  // successful opens
  int openNow = 0;                // files open now
  std::uint32_t largestRead = 0;  // the most bytes asked for in one read
  int reads = 0;

 private:
  std::map<std::string, MemoryImage> m_files;
};

class CMemoryImageFile : public IImageFile {
 public:
  CMemoryImageFile(MemoryImage& image, CMemoryFileSystem& fs) : m_image(image), m_fs(fs) {
    ++m_fs.openNow;
  }
  ~CMemoryImageFile() override { --m_fs.openNow; }

  std::uint32_t GetLength() override { return static_cast<std::uint32_t>(m_image.bytes.size()); }
  bool Read(void* data, std::uint32_t n, std::uint32_t& done) override {
    done = 0;
    m_fs.largestRead = std::max(m_fs.largestRead, n);
    ++m_fs.reads;
    if (m_image.readFails) return false;
    if (!m_image.readSizes.empty())
      n = std::min(n, m_image.readSizes[m_shortReads++ % m_image.readSizes.size()]);
    const std::size_t size = m_image.bytes.size();
    if (m_position < size) {
      done = static_cast<std::uint32_t>(std::min<std::size_t>(n, size - m_position));
      std::memcpy(data, m_image.bytes.data() + m_position, done);
      m_position += done;
    }
    m_read += done;
    if (m_image.shrinkAfterRead >= 0 &&
        m_read >= static_cast<std::uint64_t>(m_image.shrinkAfterRead))
      m_image.bytes.resize(std::min<std::size_t>(size, m_position));
    if (m_image.growAfterRead >= 0 && m_read >= static_cast<std::uint64_t>(m_image.growAfterRead)) {
      m_image.bytes.resize(m_image.bytes.size() + m_image.growBy, 'g');
      m_image.growBy = 0;
    }
    return true;
  }
  bool Seek(std::uint32_t offset) override {
    m_position = offset;
    return true;
  }

 private:
  MemoryImage& m_image;
  CMemoryFileSystem& m_fs;
  std::size_t m_position = 0;
  std::uint64_t m_read = 0;
  std::size_t m_shortReads = 0;
};

inline std::unique_ptr<IImageFile> CMemoryFileSystem::Open(const std::string& name) {
  auto it = m_files.find(name);
  if (it == m_files.end() || it->second.held) return nullptr;
  ++opens;
  return std::make_unique<CMemoryImageFile>(it->second, *this);
}

// An image of `size` bytes filled with a non-text pattern, with the given texts placed.
inline std::vector<char> MakeImage(std::size_t size,
                                   const std::vector<std::pair<std::size_t, std::string>>& texts) {
  std::vector<char> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(0x80 | (i * 7 % 0x7F));
  for (const auto& [offset, text] : texts) {
    for (std::size_t k = 0; k < text.size() && offset + k < size; ++k) bytes[offset + k] = text[k];
  }
  return bytes;
}

// A valid image: labels in the first block, dates at their offsets.
inline std::vector<char> MakeValidImage(std::size_t size = 0x10000) {
  return MakeImage(size, {{100, "Controller Ver 2.20\r\n"},
                          {140, "DSP Ver 1.09\r\n"},
                          {0xFFC0, "04/01/03*"},
                          {0xFFD9, "04/02/03*"}});
}
