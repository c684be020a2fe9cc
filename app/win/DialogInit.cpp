#include "app/win/DialogInit.h"

#include "app/resources/resource.h"
#include "app/win/DialogInitData.h"

void RunDialogInitData(HWND dialog, UINT idTemplate) {
  HMODULE module = ::GetModuleHandleA(nullptr);
  HRSRC info =
      ::FindResourceA(module, MAKEINTRESOURCEA(idTemplate), MAKEINTRESOURCEA(RT_DLGINIT_DATA));
  if (!info) return;
  HGLOBAL loaded = ::LoadResource(module, info);
  const auto* data = static_cast<const unsigned char*>(loaded ? ::LockResource(loaded) : nullptr);
  ForEachDialogInitEntry(data, ::SizeofResource(module, info), [&](const DialogInitEntry& e) {
    // Only combo box entries are used. The text is passed from its own string, so one
    // stored without its zero still ends where its count says.
    if (e.message == DLGINIT_CB_ADDSTRING)
      ::SendDlgItemMessageA(dialog, e.controlId, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(e.data.c_str()));
  });
}
