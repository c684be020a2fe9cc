#pragma once
// SHA-256 of an image, so that a record of an update names exactly the bytes that went out.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class CSha256 {
 public:
  CSha256();
  void Update(const void* data, std::size_t size);
  // The digest as 64 lower-case hex digits; the object is spent afterwards.
  std::string HexDigest();

 private:
  void Block(const std::uint8_t* block);

  std::array<std::uint32_t, 8> m_state;
  std::array<std::uint8_t, 64> m_buffer{};
  std::size_t m_buffered = 0;
  std::uint64_t m_length = 0;  // bytes seen
};
