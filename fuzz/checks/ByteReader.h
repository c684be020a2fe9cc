#pragma once
// Takes a fuzzer's input apart into the choices of one run. Past the end every read yields
// zeros, so any input, even an empty one, decodes into a run.

#include <cstddef>
#include <cstdint>
#include <string>

class CByteReader {
 public:
  CByteReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

  bool Empty() const { return m_at >= m_size; }

  std::uint8_t Byte() { return m_at < m_size ? m_data[m_at++] : 0; }
  bool Bit() { return (Byte() & 1) != 0; }

  // lo..hi inclusive, from as few bytes as the width of the range needs.
  std::uint32_t Range(std::uint32_t lo, std::uint32_t hi) {
    if (hi <= lo) return lo;
    const std::uint64_t span = std::uint64_t{hi} - lo + 1;
    std::uint64_t v = 0;
    for (std::uint64_t reach = 1; reach < span; reach <<= 8) v = (v << 8) | Byte();
    return lo + static_cast<std::uint32_t>(v % span);
  }

  // A length byte (at most maxLength), then that many bytes.
  std::string Text(std::size_t maxLength) {
    const std::size_t n = Range(0, static_cast<std::uint32_t>(maxLength));
    std::string out;
    for (std::size_t i = 0; i < n && !Empty(); ++i) out.push_back(static_cast<char>(Byte()));
    return out;
  }

  std::size_t Left() const { return m_at < m_size ? m_size - m_at : 0; }
  const std::uint8_t* Here() const { return m_data + (m_at < m_size ? m_at : m_size); }
  void Skip(std::size_t n) { m_at = n < Left() ? m_at + n : m_size; }

 private:
  const std::uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_at = 0;
};
