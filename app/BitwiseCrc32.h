// CRC-32 as zlib computes it (reflected, polynomial 0xEDB88320), a bit at a
// time and without tables: a few dozen bytes of code where speed does not
// matter.
#pragma once

#include <cstddef>
#include <cstdint>

namespace app {

inline uint32_t BitwiseCrc32(uint32_t crc, const unsigned char* bytes, size_t length) {
  uint32_t value = crc ^ 0xFFFFFFFFu;
  while (length-- > 0) {
    value ^= *bytes++;
    for (int bit = 0; bit < 8; ++bit) value = (value >> 1) ^ (0xEDB88320u & (0u - (value & 1u)));
  }
  return value ^ 0xFFFFFFFFu;
}

}  // namespace app
