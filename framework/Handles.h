// Owners for the system handles the installer opens: each closes its handle
// exactly once, can be moved but never copied, and knows which value means
// "no handle" (INVALID_HANDLE_VALUE for files and searches, NULL for keys and
// GDI objects), so the two cannot be confused.
#pragma once

#include <windows.h>

#include <utility>

namespace framework {

template <typename Traits>
class ScopedHandle {
 public:
  using Type = typename Traits::Type;

  ScopedHandle() = default;
  explicit ScopedHandle(Type handle) : handle_(handle) {}
  ~ScopedHandle() { Reset(); }
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.Release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  bool IsValid() const { return handle_ != Traits::Invalid(); }
  explicit operator bool() const { return IsValid(); }
  Type Get() const { return handle_; }

  // Closes the handle held so far and takes `handle`.
  void Reset(Type handle = Traits::Invalid()) {
    if (IsValid()) Traits::Close(handle_);
    handle_ = handle;
  }
  // Gives the handle up without closing it.
  Type Release() { return std::exchange(handle_, Traits::Invalid()); }
  // For functions that return a handle through a pointer: closes the one
  // held so far and lets the callee fill in the new one.
  Type* Receive() {
    Reset();
    return &handle_;
  }

 private:
  Type handle_ = Traits::Invalid();
};

struct KernelHandleTraits {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Type handle) { ::CloseHandle(handle); }
};

// Process and thread handles use NULL, not INVALID_HANDLE_VALUE (which is
// also the pseudo handle of the current process).
struct ProcessHandleTraits {
  using Type = HANDLE;
  static Type Invalid() { return nullptr; }
  static void Close(Type handle) { ::CloseHandle(handle); }
};

struct FindHandleTraits {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Type handle) { ::FindClose(handle); }
};

struct RegistryKeyTraits {
  using Type = HKEY;
  static Type Invalid() { return nullptr; }
  static void Close(Type key) { ::RegCloseKey(key); }
};

struct GdiObjectTraits {
  using Type = HGDIOBJ;
  static Type Invalid() { return nullptr; }
  static void Close(Type object) { ::DeleteObject(object); }
};

struct IconTraits {
  using Type = HICON;
  static Type Invalid() { return nullptr; }
  static void Close(Type icon) { ::DestroyIcon(icon); }
};

using ScopedFileHandle = ScopedHandle<KernelHandleTraits>;
using ScopedProcessHandle = ScopedHandle<ProcessHandleTraits>;
using ScopedFindHandle = ScopedHandle<FindHandleTraits>;
using ScopedRegistryKey = ScopedHandle<RegistryKeyTraits>;
using ScopedGdiObject = ScopedHandle<GdiObjectTraits>;
using ScopedIcon = ScopedHandle<IconTraits>;

}  // namespace framework
