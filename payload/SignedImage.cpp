#include "payload/SignedImage.h"

#include <cstring>

#include "payload/PlatformFile.h"

namespace payload {
namespace {

// Offsets inside the headers of a PE image.
constexpr int64_t kDosHeaderSize = 0x40;
constexpr int64_t kNewHeaderOffsetField = 0x3C;
constexpr int64_t kCoffHeaderSize = 4 + 20;   // "PE\0\0" and the file header
constexpr int64_t kOptionalHeaderSizeField = 4 + 16;
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
// Within the optional header: the directory count and the first directory.
constexpr int64_t kPe32DirectoryCount = 92;
constexpr int64_t kPe32PlusDirectoryCount = 108;
constexpr int64_t kSecurityDirectoryIndex = 4;
constexpr int64_t kDirectorySize = 8;

uint32_t Little32(const unsigned char* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

uint16_t Little16(const unsigned char* bytes) {
  return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

// Reads exactly `size` bytes at `offset`, or reports that they lie beyond
// the end of the file.
bool ReadAt(File& file, int64_t fileSize, int64_t offset, void* buffer, uint32_t size) {
  if (offset < 0 || offset > fileSize - size) return false;
  file.SeekFromStart(offset);
  file.ReadExactly(buffer, size);
  return true;
}

// The start of a certificate table that ends at the end of the file, or 0.
int64_t CertificateTableStart(File& file, int64_t fileSize) {
  unsigned char bytes[kDirectorySize];
  if (!ReadAt(file, fileSize, 0, bytes, 2) || std::memcmp(bytes, "MZ", 2) != 0) return 0;
  if (!ReadAt(file, fileSize, kNewHeaderOffsetField, bytes, 4)) return 0;
  const int64_t header = Little32(bytes);
  if (header < kDosHeaderSize) return 0;
  if (!ReadAt(file, fileSize, header, bytes, 4) || std::memcmp(bytes, "PE\0\0", 4) != 0) {
    return 0;
  }
  if (!ReadAt(file, fileSize, header + kOptionalHeaderSizeField, bytes, 2)) return 0;
  const int64_t optionalSize = Little16(bytes);
  const int64_t optional = header + kCoffHeaderSize;
  if (!ReadAt(file, fileSize, optional, bytes, 2)) return 0;
  int64_t countField = 0;
  switch (Little16(bytes)) {
    case kPe32Magic: countField = kPe32DirectoryCount; break;
    case kPe32PlusMagic: countField = kPe32PlusDirectoryCount; break;
    default: return 0;
  }
  // The directory must lie inside the optional header the file declares.
  const int64_t entry = countField + 4 + kSecurityDirectoryIndex * kDirectorySize;
  if (optionalSize < entry + kDirectorySize) return 0;
  if (!ReadAt(file, fileSize, optional + countField, bytes, 4)) return 0;
  if (Little32(bytes) <= kSecurityDirectoryIndex) return 0;
  if (!ReadAt(file, fileSize, optional + entry, bytes, kDirectorySize)) return 0;

  // The security directory holds a file offset, not an address.
  const int64_t start = Little32(bytes);
  const int64_t size = Little32(bytes + 4);
  if (start <= 0 || size <= 0 || start + size != fileSize) return 0;
  return start;
}

}  // namespace

int64_t PayloadEnd(File& file) {
  const int64_t fileSize = file.Size();
  const int64_t start = CertificateTableStart(file, fileSize);
  if (start == 0) return fileSize;

  unsigned char padding[kMaxSignaturePadding];
  const int64_t first = start > kMaxSignaturePadding ? start - kMaxSignaturePadding : 0;
  const auto count = static_cast<uint32_t>(start - first);
  ReadAt(file, fileSize, first, padding, count);
  int64_t end = start;
  while (end > first && padding[end - first - 1] == 0) --end;
  return end;
}

}  // namespace payload
