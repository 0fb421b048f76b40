#include "tools/pack/PeChecksum.h"

namespace pack {
namespace {

uint32_t Read32(const unsigned char* bytes) {
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

}  // namespace

size_t PeChecksum::FieldOffset(const unsigned char* header, size_t size) {
  constexpr size_t kNewHeaderAt = 0x3C, kFileHeaderSize = 20, kChecksumInOptionalHeader = 64;
  if (size < kNewHeaderAt + 4 || header[0] != 'M' || header[1] != 'Z') return 0;
  const size_t peAt = Read32(header + kNewHeaderAt);
  const size_t fieldAt = peAt + 4 + kFileHeaderSize + kChecksumInOptionalHeader;
  if (peAt > size || fieldAt + 4 > size) return 0;
  const unsigned char* pe = header + peAt;
  if (pe[0] != 'P' || pe[1] != 'E' || pe[2] != 0 || pe[3] != 0) return 0;
  return fieldAt;
}

// Bytes at even positions are the low halves of the words, bytes at odd
// positions the high halves; the carries are folded in once at the end,
// which gives the same value as folding after every word.
void PeChecksum::Add(const void* data, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; ++i, ++length_) {
    sum_ += (length_ & 1) ? static_cast<uint64_t>(bytes[i]) << 8 : bytes[i];
  }
}

uint32_t PeChecksum::Value() const {
  uint64_t sum = sum_;
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint32_t>(sum + length_);
}

}  // namespace pack
