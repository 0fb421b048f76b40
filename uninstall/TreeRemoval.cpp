#include "uninstall/TreeRemoval.h"

#include "framework/Handles.h"
#include "payload/NameRules.h"

namespace uninstall {
namespace {

constexpr int32_t kReportedPosition = 100;

void Report(TreeProgressCallback callback, int32_t code, const std::string& path, HWND window) {
  int32_t position = kReportedPosition;
  callback(code, &position, path.c_str(), window);
}

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

bool IsFolder(const WIN32_FIND_DATAA& entry) {
  return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A junction or a symbolic link to a folder: what it points at belongs to
// someone else.
bool IsLinkedFolder(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  constexpr DWORD kLinkedFolder = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kLinkedFolder) == kLinkedFolder;
}

std::string EntryPath(const std::string& folder, const char* name) {
  return payload::EndsWithBackslash(folder) ? folder + name : folder + '\\' + name;
}

// Patterns that do not fit MAX_PATH find nothing, like a missing folder.
framework::ScopedFindHandle FindFirst(const std::string& pattern, WIN32_FIND_DATAA& entry) {
  if (pattern.size() >= MAX_PATH) return framework::ScopedFindHandle();
  return framework::ScopedFindHandle(::FindFirstFileA(pattern.c_str(), &entry));
}

// RemoveDirectoryA on a junction or a folder link removes the link and
// leaves its target alone. It is reported like a file.
int RemoveLinkReported(HWND window, const std::string& path, TreeProgressCallback callback) {
  const bool removed = ::RemoveDirectoryA(path.c_str()) != FALSE;
  Report(callback, REPORT_PATH, path, window);
  return removed ? 0 : -1;
}

}  // namespace

int TryDeleteFile(const std::string& path) {
  return ::DeleteFileA(path.c_str()) ? 1 : 0;
}

int DeleteFileReported(HWND window, const std::string& path, TreeProgressCallback callback) {
  TryDeleteFile(path);
  Report(callback, REPORT_PATH, path, window);
  return 0;
}

int DeleteFolderTree(HWND window, const std::string& path, TreeProgressCallback callback) {
  if (IsLinkedFolder(path)) return RemoveLinkReported(window, path, callback);
  const std::string pattern = EntryPath(path, "*.*");
  WIN32_FIND_DATAA entry;
  framework::ScopedFindHandle search = FindFirst(pattern, entry);
  if (!search) return DeleteFileReported(window, path, callback);

  // First pass: files go, subfolders are emptied and removed as they come.
  do {
    if (IsFolder(entry) && IsDotOrDotDot(entry.cFileName)) continue;
    const std::string entryPath = EntryPath(path, entry.cFileName);
    if (IsFolder(entry)) {
      DeleteFolderTree(window, entryPath, callback);
    } else {
      DeleteFileReported(window, entryPath, callback);
    }
  } while (::FindNextFileA(search.Get(), &entry));

  // Second pass: every subfolder still there gets one more try, and each
  // that stays is reported.
  search = FindFirst(pattern, entry);
  if (search) {
    do {
      if (!IsFolder(entry) || IsDotOrDotDot(entry.cFileName)) continue;
      const std::string entryPath = EntryPath(path, entry.cFileName);
      if (!::RemoveDirectoryA(entryPath.c_str())) Report(callback, REPORT_PATH, entryPath, window);
    } while (::FindNextFileA(search.Get(), &entry));
  }
  search.Reset();

  if (::RemoveDirectoryA(path.c_str())) return 0;
  Report(callback, REPORT_FOLDER_NOT_REMOVED, path, window);
  return -1;
}

}  // namespace uninstall
