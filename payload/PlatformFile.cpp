// The parts of File that do not depend on the platform: ownership and the
// write-behind buffer.
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
  pendingSize_ = other.pendingSize_;
  std::memcpy(pending_, other.pending_, pendingSize_);
  other.handle_ = kClosed;
  other.pendingSize_ = 0;
}

void File::Write(const void* buffer, uint32_t size) {
  if (size > kWriteBehindSize - pendingSize_) Flush();
  if (size >= kWriteBehindSize) {
    WriteThrough(buffer, size);
    return;
  }
  std::memcpy(pending_ + pendingSize_, buffer, size);
  pendingSize_ += size;
}

void File::Flush() {
  if (pendingSize_ == 0) return;
  const uint32_t size = pendingSize_;
  pendingSize_ = 0;
  WriteThrough(pending_, size);
}

}  // namespace payload
