#pragma once
// An image file over bytes already in memory (an image read once, or one a modem received),
// with a position of its own. The bytes must outlive it and stay as they are.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "image/ImageFile.h"

class CBytesImageFile : public IImageFile {
 public:
  CBytesImageFile(const void* bytes, std::size_t size)
      : m_bytes(static_cast<const unsigned char*>(bytes)), m_size(size) {}
  std::uint32_t GetLength() override { return static_cast<std::uint32_t>(m_size); }
  bool Read(void* data, std::uint32_t n, std::uint32_t& done) override {
    done = static_cast<std::uint32_t>(std::min<std::size_t>(n, m_size - m_at));
    if (done > 0) std::memcpy(data, m_bytes + m_at, done);
    m_at += done;
    return true;
  }
  bool Seek(std::uint32_t offset) override {
    if (offset > m_size) return false;
    m_at = offset;
    return true;
  }

 private:
  const unsigned char* m_bytes;
  std::size_t m_size;
  std::size_t m_at = 0;
};
