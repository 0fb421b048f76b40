// Owning wrappers for the few kinds of Win32 handle the driver keeps, so
// that every exit path (a failed check throws) releases them.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace uidriver {

template <auto Release>
struct Releaser {
  template <typename T>
  void operator()(T* handle) const {
    Release(handle);
  }
};

template <typename H, auto Release>
using Unique = std::unique_ptr<std::remove_pointer_t<H>, Releaser<Release>>;

using UniqueHandle = Unique<HANDLE, &CloseHandle>;
using UniqueKey = Unique<HKEY, &RegCloseKey>;
using UniqueHook = Unique<HHOOK, &UnhookWindowsHookEx>;
using UniqueLibrary = Unique<HMODULE, &FreeLibrary>;
using UniqueView = Unique<void*, &UnmapViewOfFile>;
using UniqueDc = Unique<HDC, &DeleteDC>;
using UniqueBitmap = Unique<HBITMAP, &DeleteObject>;

// CreateFile reports failure as INVALID_HANDLE_VALUE, everything else as NULL.
inline UniqueHandle FromCreateFile(HANDLE handle) {
  return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// A screen DC is released, not deleted.
class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

}  // namespace uidriver
