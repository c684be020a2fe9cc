#include "app/win/DialogInit.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "app/resources/resource.h"

void RunDialogInitData(HWND dialog, UINT idTemplate) {
  HMODULE module = ::GetModuleHandleA(nullptr);
  HRSRC info = ::FindResourceA(module, MAKEINTRESOURCEA(idTemplate),
                               MAKEINTRESOURCEA(RT_DLGINIT_DATA));
  if (!info) return;
  HGLOBAL loaded = ::LoadResource(module, info);
  const auto* data = static_cast<const unsigned char*>(loaded ? ::LockResource(loaded) : nullptr);
  if (!data) return;
  const std::size_t size = ::SizeofResource(module, info);

  std::size_t at = 0;
  while (at + 2 <= size) {
    std::uint16_t id;
    std::memcpy(&id, data + at, 2);
    if (id == 0 || at + 8 > size) break;
    std::uint16_t message;
    std::uint32_t length;
    std::memcpy(&message, data + at + 2, 2);
    std::memcpy(&length, data + at + 4, 4);
    at += 8;
    if (length > size - at) break;
    if (message == DLGINIT_CB_ADDSTRING) {
      // Built from the counted bytes so that a text without its zero still ends here.
      std::string text(reinterpret_cast<const char*>(data + at), length);
      ::SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(text.c_str()));
    }
    at += length;
  }
}
