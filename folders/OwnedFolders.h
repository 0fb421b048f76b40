// Which folders an installation may own. The uninstaller deletes everything
// below the folder an installation recorded, so the install wizard never
// installs into, and the uninstaller never starts on, an empty or relative
// path, a drive or share root, or a folder that is or holds one of the
// system's own folders. Portable: tested natively with GBK.
#pragma once

#include <string>
#include <vector>

namespace folders {

enum class FolderRefusal {
  kNone,
  kEmpty,
  kNotAbsolute,      // neither "X:\..." nor "\\server\share\..."
  kDriveRoot,        // "C:\" or "C:"
  kShareRoot,        // "\\server" or "\\server\share"
  kProtectedFolder,  // is, or contains, a folder of the system or of a user
};

// Folders that no installation may own, as the running system names them.
struct ProtectedFolders {
  // Each of these, and every folder that contains one, is refused.
  std::vector<std::string> folders;
  // Folders whose direct subfolders are profile roots (the Users folder):
  // each of those is refused too.
  std::vector<std::string> profileParents;
};

struct FolderCheck {
  FolderRefusal refusal = FolderRefusal::kNone;
  // For kProtectedFolder: the protected folder that was hit, as listed.
  std::string protectedFolder;
};

// True for "X:\..." and "\\server\..." ('/' counts as '\', as Windows reads
// it): a path that names the same place whatever the current folder and
// search path.
bool IsAbsoluteFolder(const std::string& folder);

// Whether an installation may own `folder`, with or without its final
// backslash.
FolderCheck CheckOwnableFolder(const std::string& folder,
                               const ProtectedFolders& protectedFolders);

// True when both paths name the same folder, as Windows resolves them.
bool IsSameFolder(const std::string& left, const std::string& right);

// `path` as Windows resolves it for comparison: '/' read as '\', device
// prefixes ("\\?\", "\\?\UNC\") dropped, repeated separators merged, "."
// and ".." components resolved, trailing dots and blanks of components
// dropped, no final backslash except after a drive ("C:\"), and ASCII
// letters upper-cased. Double-byte characters are kept whole.
std::string ComparablePath(const std::string& path);

}  // namespace folders
