// Win32 side of the platform layer: the ANSI file functions with the exact
// access, sharing and creation flags the installer relies on.
#include "payload/PlatformFile.h"

#include <windows.h>

#include "payload/NameRules.h"
#include "payload/PayloadFormat.h"

namespace payload {
namespace {

HANDLE AsHandle(intptr_t value) { return reinterpret_cast<HANDLE>(value); }

// MAX_PATH applies to the path as passed and as the system resolves it;
// a relative path may only grow too long once made absolute.
bool PathFits(const std::string& path) {
  if (path.size() >= static_cast<size_t>(kMaxPath)) return false;
  char full[kMaxPath];
  DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  return length != 0 && length < static_cast<DWORD>(kMaxPath);
}

intptr_t OpenWith(const std::string& path, DWORD access, DWORD disposition) {
  if (!PathFits(path)) return -1;
  HANDLE handle = CreateFileA(path.c_str(), access,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  return handle == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<intptr_t>(handle);
}

// False for "." and "..".
bool Describe(const WIN32_FIND_DATAA& data, FolderEntry& entry) {
  const char* name = data.cFileName;
  if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) return false;
  entry.name = name;
  entry.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  entry.isLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  return true;
}

}  // namespace

FolderListing::FolderListing(const std::string& folder) {
  std::string pattern = folder;
  if (!EndsWithBackslash(pattern)) pattern += '\\';
  pattern += '*';
  if (pattern.size() >= static_cast<size_t>(kMaxPath)) return;
  WIN32_FIND_DATAA data;
  const HANDLE search = FindFirstFileA(pattern.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return;
  handle_ = reinterpret_cast<intptr_t>(search);
  hasFirst_ = Describe(data, first_);
}

FolderListing::~FolderListing() {
  if (handle_ != kClosed) FindClose(AsHandle(handle_));
}

bool FolderListing::Next(FolderEntry& entry) {
  if (hasFirst_) {
    hasFirst_ = false;
    entry = std::move(first_);
    return true;
  }
  if (handle_ == kClosed) return false;
  WIN32_FIND_DATAA data;
  while (FindNextFileA(AsHandle(handle_), &data)) {
    if (Describe(data, entry)) return true;
  }
  return false;
}

std::string DescribeSystemError(uint32_t code) {
  char text[512];
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
      0, text, sizeof text, nullptr);
  while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r')) --length;
  if (length == 0) return "system error " + std::to_string(code);
  return std::string(text, length);
}

bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

std::string RunningModulePath() {
  char path[kMaxPath];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return std::string();
  return std::string(path, length);
}

bool CreateFolder(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

bool IsLink(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool DeleteFileAt(const std::string& path) {
  return DeleteFileA(path.c_str()) != FALSE;
}

void File::ReleaseHandle() { CloseHandle(AsHandle(handle_)); }

bool File::OpenForReading(const std::string& path) {
  Close();
  handle_ = OpenWith(path, GENERIC_READ, OPEN_EXISTING);
  failed_ = false;
  if (IsOpen()) name_ = path;
  return IsOpen();
}

bool File::CreateForWriting(const std::string& path) {
  Close();
  handle_ = OpenWith(path, GENERIC_WRITE, CREATE_ALWAYS);
  failed_ = false;
  if (IsOpen()) name_ = path;
  return IsOpen();
}

void File::Fail() { Fail(GetLastError()); }

int64_t File::Size() {
  DWORD high = 0;
  DWORD low = GetFileSize(AsHandle(handle_), &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
    Fail();
    return 0;
  }
  return (static_cast<int64_t>(high) << 32) | low;
}

void File::MoveTo(int64_t offset, bool fromEnd) {
  LONG high = static_cast<LONG>(offset >> 32);
  SetLastError(NO_ERROR);
  DWORD low = SetFilePointer(AsHandle(handle_), static_cast<LONG>(offset), &high,
                             fromEnd ? FILE_END : FILE_BEGIN);
  if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) Fail();
}

uint32_t File::ReadThrough(void* buffer, uint32_t size) {
  DWORD count = 0;
  if (!ReadFile(AsHandle(handle_), buffer, size, &count, nullptr)) {
    Fail();
    return 0;
  }
  return count;
}

void File::FailShortRead() { Fail(ERROR_HANDLE_EOF); }

void File::WriteThrough(const void* buffer, uint32_t size) {
  DWORD count = 0;
  if (!WriteFile(AsHandle(handle_), buffer, size, &count, nullptr)) {
    Fail();
  } else if (count != size) {
    Fail(ERROR_HANDLE_DISK_FULL);
  }
}

}  // namespace payload
