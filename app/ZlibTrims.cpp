// zlib's inflate refers to crc32 for gzip streams, and the library's crc32
// brings some 8 KB of tables and their generator with it. The installer
// inflates zlib-wrapped streams only (inflateInit, checked with Adler-32),
// so the CRC is never computed; a bitwise CRC-32 stands in for the
// library's, correct but without tables, should a gzip stream ever be read.
#include <zlib.h>

#include "app/BitwiseCrc32.h"

extern "C" uLong ZEXPORT crc32(uLong crc, const Bytef* buffer, uInt length) {
  if (buffer == Z_NULL) return 0;
  return app::BitwiseCrc32(static_cast<uint32_t>(crc), buffer, length);
}
