// The thin platform layer under the payload reader: files opened with the
// exact sharing and creation rules the reader needs, folder creation, and
// the ANSI code page's lead bytes. One implementation uses Win32, the other
// POSIX (where the payload's backslash separators become '/').
#pragma once

#include <cstdint>
#include <string>

namespace payload {

// A failed read, write or seek. Carries the system's error code (GetLastError
// on Windows, errno elsewhere) and the name of the file concerned.
class FileError {
 public:
  FileError() = default;
  FileError(uint32_t code, std::string fileName)
      : code_(code), fileName_(std::move(fileName)) {}
  uint32_t code() const { return code_; }
  const std::string& fileName() const { return fileName_; }

 private:
  uint32_t code_ = 0;
  std::string fileName_;
};

// The system's text for an error code, for tools that report a FileError.
std::string DescribeSystemError(uint32_t code);

// True for a byte that starts a double-byte character in the ANSI code page
// (GBK on the host build: 0x81..0xFE).
bool IsLeadByte(unsigned char byte);

// Full path of the running executable, as GetModuleFileNameA gives it.
std::string RunningModulePath();

// Creates one folder with default security. Failure (it exists, no right)
// is reported only through the result.
bool CreateFolder(const std::string& path);

// True when `path` itself (not what it leads to) is a symbolic link or, on
// Windows, any other reparse point such as a junction or mount point.
bool IsLink(const std::string& path);

// Deletes a file; false when it could not be deleted.
bool DeleteFileAt(const std::string& path);

// One entry of a folder, as the system names it.
struct FolderEntry {
  std::string name;
  bool isFolder = false;
  // A symbolic link or, on Windows, any other reparse point.
  bool isLink = false;
};

// The entries of one folder, "." and ".." left out, in the order the system
// gives them. A folder that is missing, is a file, cannot be read, or whose
// search pattern would not fit MAX_PATH lists nothing.
class FolderListing {
 public:
  explicit FolderListing(const std::string& folder);
  ~FolderListing();
  FolderListing(const FolderListing&) = delete;
  FolderListing& operator=(const FolderListing&) = delete;

  // The next entry; false when there is none left.
  bool Next(FolderEntry& entry);

 private:
  static constexpr intptr_t kClosed = -1;
  intptr_t handle_ = kClosed;
  std::string folder_;
  // Windows hands out the first entry with the opening of the search.
  bool hasFirst_ = false;
  FolderEntry first_;
};

// An open file that closes itself. A refused or failed open leaves the object
// closed. Nothing throws: the first read, write or seek that fails is kept
// (Failed, LastError), and from then on the file does nothing and reads
// nothing, so a caller checks once after a run of operations. The installer
// is built without exception support, which would cost it a third of its
// size.
class File {
 public:
  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // An existing file, read access, others may read and write it.
  // Paths of kMaxPath bytes or more, as passed or made absolute, are refused.
  bool OpenForReading(const std::string& path);
  // A new or truncated file, write access, others may read and write it.
  // The same path rule applies.
  bool CreateForWriting(const std::string& path);

  bool IsOpen() const { return handle_ != kClosed; }
  bool Failed() const { return failed_; }
  // The first failure since the file was opened.
  FileError LastError() const { return FileError(errorCode_, name_); }
  // Writes what is still held back, then closes. Errors of that last write
  // are lost here: call Flush first where they matter.
  void Close();

  // 0 after a failure.
  int64_t Size();
  void SeekFromStart(int64_t offset);
  void SeekFromEnd(int64_t distanceBack);
  // Reads up to `size` bytes; returns the count read, 0 at the end of file
  // or after a failure.
  // Reads smaller than a block are served from one block read ahead, which
  // saves a system call per 4 KiB block; a seek drops what was read ahead.
  uint32_t Read(void* buffer, uint32_t size);
  // Reads exactly `size` bytes, straight from the system unless read ahead
  // already. A shorter read is a failure; the bytes not read are zero.
  bool ReadExactly(void* buffer, uint32_t size);
  // Writes all `size` bytes; a short write (a full disk) is a failure.
  // Small writes are gathered and reach the system in whole blocks.
  void Write(const void* buffer, uint32_t size);
  // Hands every gathered byte to the system; false if that fails.
  bool Flush();

  static constexpr uint32_t kBlockSize = 64 * 1024;

 private:
  static constexpr intptr_t kClosed = -1;
  // Keeps the system's last error, or `code`, as the file's failure.
  void Fail();
  void Fail(uint32_t code);
  void FailShortRead();
  uint32_t ReadThrough(void* buffer, uint32_t size);
  void WriteThrough(const void* buffer, uint32_t size);
  void MoveTo(int64_t offset, bool fromEnd);
  void ReleaseHandle();
  void DropReadAhead() { readPosition_ = readEnd_ = 0; }
  void TakeFrom(File& other) noexcept;

  intptr_t handle_ = kClosed;
  std::string name_;
  bool failed_ = false;
  uint32_t errorCode_ = 0;
  // The block holds either bytes read ahead, [readPosition_, readEnd_), or
  // bytes waiting to be written, [0, pendingSize_): a file is opened for
  // reading or for writing, never both.
  uint32_t readPosition_ = 0;
  uint32_t readEnd_ = 0;
  uint32_t pendingSize_ = 0;
  unsigned char block_[kBlockSize];
};

}  // namespace payload
