// The parts of File that do not depend on the platform: ownership and the
// block buffer for read-ahead and write-behind.
#include "payload/PlatformFile.h"

#include <cstring>

namespace payload {

File::~File() { Close(); }

File::File(File&& other) noexcept { TakeFrom(other); }

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    TakeFrom(other);
  }
  return *this;
}

void File::TakeFrom(File& other) noexcept {
  handle_ = other.handle_;
  name_ = std::move(other.name_);
  failed_ = other.failed_;
  errorCode_ = other.errorCode_;
  readPosition_ = other.readPosition_;
  readEnd_ = other.readEnd_;
  pendingSize_ = other.pendingSize_;
  std::memcpy(block_, other.block_, sizeof block_);
  other.handle_ = kClosed;
  other.readPosition_ = other.readEnd_ = other.pendingSize_ = 0;
}

void File::Close() {
  if (!IsOpen()) return;
  Flush();
  ReleaseHandle();
  handle_ = kClosed;
  DropReadAhead();
}

void File::Fail(uint32_t code) {
  if (failed_) return;
  failed_ = true;
  errorCode_ = code;
}

// A seek first settles the block: gathered bytes go out at the old position,
// bytes read ahead are no longer the ones that follow.
void File::SeekFromStart(int64_t offset) {
  Flush();
  DropReadAhead();
  if (!failed_) MoveTo(offset, false);
}

void File::SeekFromEnd(int64_t distanceBack) {
  Flush();
  DropReadAhead();
  if (!failed_) MoveTo(-distanceBack, true);
}

uint32_t File::Read(void* buffer, uint32_t size) {
  if (failed_) return 0;
  if (readPosition_ == readEnd_) {
    if (size >= kBlockSize) return ReadThrough(buffer, size);
    readPosition_ = 0;
    readEnd_ = ReadThrough(block_, kBlockSize);
  }
  const uint32_t count = size < readEnd_ - readPosition_ ? size : readEnd_ - readPosition_;
  std::memcpy(buffer, block_ + readPosition_, count);
  readPosition_ += count;
  return count;
}

bool File::ReadExactly(void* buffer, uint32_t size) {
  auto* bytes = static_cast<unsigned char*>(buffer);
  while (size > 0) {
    const uint32_t count = failed_                     ? 0
                           : readPosition_ < readEnd_ ? Read(bytes, size)
                                                      : ReadThrough(bytes, size);
    if (count == 0) {
      FailShortRead();
      std::memset(bytes, 0, size);
      return false;
    }
    bytes += count;
    size -= count;
  }
  return !failed_;
}

void File::Write(const void* buffer, uint32_t size) {
  if (failed_) return;
  if (size > kBlockSize - pendingSize_) Flush();
  if (size >= kBlockSize) {
    WriteThrough(buffer, size);
    return;
  }
  std::memcpy(block_ + pendingSize_, buffer, size);
  pendingSize_ += size;
}

bool File::Flush() {
  const uint32_t size = pendingSize_;
  pendingSize_ = 0;
  if (size > 0 && !failed_) WriteThrough(block_, size);
  return !failed_;
}

}  // namespace payload
