// Which folder the uninstaller may empty and remove. The removal deletes
// everything below the folder it is given, so it only ever starts on a
// folder that can be an installation's own: never on an empty or relative
// path, a drive or share root, or a folder that is or holds one of the
// system's own folders. Portable: tested natively with GBK.
#pragma once

#include <string>
#include <vector>

namespace uninstall {

enum class RemovalRefusal {
  kNone,
  kEmpty,
  kNotAbsolute,      // neither "X:\..." nor "\\server\share\..."
  kDriveRoot,        // "C:\" or "C:"
  kShareRoot,        // "\\server" or "\\server\share"
  kProtectedFolder,  // is, or contains, a folder of the system or of a user
};

// Folders that the removal must never touch, as the running system names
// them.
struct ProtectedFolders {
  // Each of these, and every folder that contains one, is refused.
  std::vector<std::string> folders;
  // Folders whose direct subfolders are profile roots (the Users folder):
  // each of those is refused too.
  std::vector<std::string> profileParents;
};

struct RemovalCheck {
  RemovalRefusal refusal = RemovalRefusal::kNone;
  // For kProtectedFolder: the protected folder that was hit, as listed.
  std::string protectedFolder;
};

// The install folder as recorded ends with a backslash; the removal works
// on the folder itself. Only a final backslash is cut: a recorded value
// without one already names the folder.
std::string FolderToRemove(const std::string& installFolder);

// True for "X:\..." and "\\server\...": a path that names the same place
// whatever the current folder and search path.
bool IsAbsoluteFolder(const std::string& folder);

// Whether the removal may start on `folder` (as FolderToRemove gives it).
RemovalCheck CheckFolderToRemove(const std::string& folder,
                                 const ProtectedFolders& protectedFolders);

// `path` as Windows resolves it for comparison: '/' read as '\', device
// prefixes ("\\?\", "\\?\UNC\") dropped, repeated separators merged, "."
// and ".." components resolved, trailing dots and blanks of components
// dropped, no final backslash except after a drive ("C:\"), and ASCII
// letters upper-cased. Double-byte characters are kept whole.
std::string ComparablePath(const std::string& path);

}  // namespace uninstall
