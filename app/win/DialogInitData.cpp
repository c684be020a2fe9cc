#include "app/win/DialogInitData.h"

#include <cstring>

std::size_t ForEachDialogInitEntry(const unsigned char* data, std::size_t size,
                                   const std::function<void(const DialogInitEntry&)>& each) {
  std::size_t at = 0, count = 0;
  while (data && at + 2 <= size) {
    std::uint16_t id;
    std::memcpy(&id, data + at, 2);
    if (id == 0 || size - at < 8) break;
    std::uint16_t message;
    std::uint32_t length;
    std::memcpy(&message, data + at + 2, 2);
    std::memcpy(&length, data + at + 4, 4);
    at += 8;
    if (length > size - at) break;
    each(DialogInitEntry{id, message,
                         std::string(reinterpret_cast<const char*>(data + at), length)});
    at += length;
    ++count;
  }
  return count;
}
