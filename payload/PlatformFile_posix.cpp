// POSIX side of the platform layer, for the host build. Payload paths use
// backslashes; they become '/' here, stepping over GBK double-byte characters
// so that a trail byte of 0x5C is left alone.
#include "payload/PlatformFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "payload/Characters.h"
#include "payload/PayloadFormat.h"

namespace payload {
namespace {

std::string ToNativePath(const std::string& path) {
  std::string native = path;
  ForEachSingleByte(path, [&](size_t i, unsigned char byte) {
    if (byte == '\\') native[i] = '/';
  });
  return native;
}

// Mirrors the MAX_PATH refusal of the Win32 layer: the path as passed and
// the path made absolute must both be shorter than kMaxPath bytes.
bool PathFits(const std::string& path) {
  if (path.size() >= static_cast<size_t>(kMaxPath)) return false;
  if (!path.empty() && path[0] == '/') return true;
  char cwd[PATH_MAX];
  if (getcwd(cwd, sizeof cwd) == nullptr) return false;
  return std::strlen(cwd) + 1 + path.size() < static_cast<size_t>(kMaxPath);
}

}  // namespace

std::string DescribeSystemError(uint32_t code) {
  return std::strerror(static_cast<int>(code));
}

bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

std::string RunningModulePath() {
  char buffer[kMaxPath];
  ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length < 0) return std::string();
  return std::string(buffer, static_cast<size_t>(length));
}

bool CreateFolder(const std::string& path) {
  return mkdir(ToNativePath(path).c_str(), 0777) == 0;
}

bool IsLink(const std::string& path) {
  struct stat info;
  return lstat(ToNativePath(path).c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

bool DeleteFileAt(const std::string& path) {
  return unlink(ToNativePath(path).c_str()) == 0;
}

FolderListing::FolderListing(const std::string& folder) : folder_(ToNativePath(folder)) {
  DIR* listing = opendir(folder_.c_str());
  if (listing) handle_ = reinterpret_cast<intptr_t>(listing);
}

FolderListing::~FolderListing() {
  if (handle_ != kClosed) closedir(reinterpret_cast<DIR*>(handle_));
}

bool FolderListing::Next(FolderEntry& entry) {
  if (handle_ == kClosed) return false;
  while (const dirent* found = readdir(reinterpret_cast<DIR*>(handle_))) {
    const std::string name = found->d_name;
    if (name == "." || name == "..") continue;
    struct stat info;
    if (lstat((folder_ + "/" + name).c_str(), &info) != 0) continue;
    entry.name = name;
    entry.isFolder = S_ISDIR(info.st_mode);
    entry.isLink = S_ISLNK(info.st_mode);
    return true;
  }
  return false;
}

void File::ReleaseHandle() { close(static_cast<int>(handle_)); }

bool File::OpenForReading(const std::string& path) {
  Close();
  if (!PathFits(path)) return false;
  int fd = open(ToNativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  // A folder cannot be opened as a file on Windows either.
  struct stat info;
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    close(fd);
    return false;
  }
  handle_ = fd;
  name_ = path;
  failed_ = false;
  return true;
}

bool File::CreateForWriting(const std::string& path) {
  Close();
  if (!PathFits(path)) return false;
  int fd = open(ToNativePath(path).c_str(),
                O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  handle_ = fd;
  name_ = path;
  failed_ = false;
  return true;
}

void File::Fail() { Fail(static_cast<uint32_t>(errno)); }

int64_t File::Size() {
  struct stat info;
  if (fstat(static_cast<int>(handle_), &info) != 0) {
    Fail();
    return 0;
  }
  return info.st_size;
}

void File::MoveTo(int64_t offset, bool fromEnd) {
  if (lseek(static_cast<int>(handle_), offset, fromEnd ? SEEK_END : SEEK_SET) < 0) Fail();
}

uint32_t File::ReadThrough(void* buffer, uint32_t size) {
  for (;;) {
    ssize_t count = read(static_cast<int>(handle_), buffer, size);
    if (count >= 0) return static_cast<uint32_t>(count);
    if (errno != EINTR) {
      Fail();
      return 0;
    }
  }
}

void File::FailShortRead() { Fail(static_cast<uint32_t>(EIO)); }

void File::WriteThrough(const void* buffer, uint32_t size) {
  auto* bytes = static_cast<const unsigned char*>(buffer);
  while (size > 0) {
    ssize_t count = write(static_cast<int>(handle_), bytes, size);
    if (count < 0) {
      if (errno == EINTR) continue;
      Fail();
      return;
    }
    if (count == 0) {
      Fail(static_cast<uint32_t>(ENOSPC));
      return;
    }
    bytes += count;
    size -= static_cast<uint32_t>(count);
  }
}

}  // namespace payload
