#pragma once
// A dialog's table from window messages and control notifications to handler methods.
// Each entry adapts the message's parameters to the handler's signature.

#include <windows.h>

#include <cstddef>

template <class T>
struct MessageEntry {
  UINT message;  // WM_COMMAND for control notifications
  int id;        // control ID of a WM_COMMAND entry, else 0
  UINT code;     // notification code of a WM_COMMAND entry, else 0
  bool (*handler)(T& self, WPARAM w, LPARAM l, LRESULT& result);  // true when handled
};

// A notification handler that takes nothing: BN_CLICKED, CBN_SELCHANGE...
template <auto Handler, class T>
bool CommandHandler(T& self, WPARAM, LPARAM, LRESULT&) {
  (self.*Handler)();
  return true;
}

template <class T, std::size_t N>
bool DispatchMessageMap(T& self, const MessageEntry<T> (&map)[N], UINT msg, WPARAM w, LPARAM l,
                        LRESULT& result) {
  for (const MessageEntry<T>& entry : map) {
    if (entry.message != msg) continue;
    if (msg == WM_COMMAND && (LOWORD(w) != entry.id || HIWORD(w) != entry.code)) continue;
    return entry.handler(self, w, l, result);
  }
  return false;
}
