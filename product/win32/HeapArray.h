// A process-heap block that frees itself. The stand-ins keep clear of the
// C++ library so that each image stays a few kilobytes.
#pragma once

#include <windows.h>

#include <cstddef>

template <typename T>
class HeapArray {
 public:
  explicit HeapArray(size_t count)
      : data_(static_cast<T*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY,
                                        (count == 0 ? 1 : count) * sizeof(T)))),
        count_(data_ != nullptr ? count : 0) {}
  ~HeapArray() {
    if (data_ != nullptr) HeapFree(GetProcessHeap(), 0, data_);
  }
  HeapArray(const HeapArray&) = delete;
  HeapArray& operator=(const HeapArray&) = delete;

  // Null when the allocation failed.
  T* get() const { return data_; }
  size_t count() const { return count_; }

 private:
  T* data_;
  size_t count_;
};
