// COM lifetime helpers: one initialisation of the thread's COM library per
// scope, and interface pointers that release themselves.
#pragma once

#include <objbase.h>

#include <utility>

namespace framework {

// CoInitialize on construction; CoUninitialize on destruction only when the
// initialisation succeeded (S_FALSE, "already initialised", counts too:
// each successful call must be balanced).
class ScopedComInitialization {
 public:
  ScopedComInitialization() : result_(::CoInitialize(nullptr)) {}
  ~ScopedComInitialization() {
    if (Succeeded()) ::CoUninitialize();
  }
  ScopedComInitialization(const ScopedComInitialization&) = delete;
  ScopedComInitialization& operator=(const ScopedComInitialization&) = delete;

  bool Succeeded() const { return SUCCEEDED(result_); }
  HRESULT Result() const { return result_; }

 private:
  HRESULT result_;
};

template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { Reset(); }
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      pointer_ = std::exchange(other.pointer_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  Interface* Get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

  void Reset() {
    if (pointer_) std::exchange(pointer_, nullptr)->Release();
  }
  // For CoCreateInstance and QueryInterface: releases what is held and
  // hands out the slot for the new pointer.
  void** Receive() {
    Reset();
    return reinterpret_cast<void**>(&pointer_);
  }

 private:
  Interface* pointer_ = nullptr;
};

}  // namespace framework
