// The checksum in a PE image's optional header, as the linker, the signing
// tools and the Windows loader compute it: the file's 16-bit little-endian
// words added with end-around carry, the field itself counted as zero, plus
// the file's length. A package is its image with the payload behind it, so
// the package's checksum covers the payload too.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pack {

class PeChecksum {
 public:
  // Where the field lies in a file that begins with `header`; 0 when the
  // bytes are no PE image or the field lies beyond them.
  static size_t FieldOffset(const unsigned char* header, size_t size);

  // The file's bytes, in order, the field's four bytes as zero.
  void Add(const void* data, size_t size);
  uint32_t Value() const;

 private:
  uint64_t sum_ = 0;
  uint64_t length_ = 0;
};

}  // namespace pack
