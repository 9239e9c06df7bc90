// The object behind a window of a class of our own: handed to CreateWindowEx as its creation
// parameter, kept in GWLP_USERDATA from WM_NCCREATE on. Header only.
#pragma once

#include <windows.h>

namespace pelmora::ui {

// In a window procedure: the object the window belongs to, or null before WM_NCCREATE. At
// WM_NCCREATE it is stored and its handle member (handle) set to hwnd.
template <typename T>
T* WindowObject(HWND hwnd, UINT msg, LPARAM lp, HWND T::*handle) {
  if (msg != WM_NCCREATE) return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  self->*handle = hwnd;
  return self;
}

}  // namespace pelmora::ui
