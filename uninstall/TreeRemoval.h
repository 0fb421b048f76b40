// Removal of an installed tree: everything below a folder, depth-first, then
// the folder itself, each handled path reported to a callback. A folder is
// only ever removed when empty; nothing is deleted recursively by the
// system in one call, and links are removed as links, never walked into.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace uninstall {

// Codes of the callback.
constexpr int32_t REPORT_FOLDER_NOT_REMOVED = 1;
constexpr int32_t REPORT_PATH = 2;

// (code, position value, path, window): the walk sets the position value to
// 100 before every call and passes `window` through. The result is not
// looked at.
using TreeProgressCallback = int32_t (*)(int32_t code, int32_t* position, const char* path,
                                         HWND window);

// Empties and removes the folder `path`. 0 when the folder itself was
// removed, -1 when it could not be. A path that has nothing to enumerate
// (missing, or a file) is handed to DeleteFileReported, whose 0 is
// returned.
int DeleteFolderTree(HWND window, const std::string& path, TreeProgressCallback callback);

// One deletion attempt of the file `path`, reported with REPORT_PATH
// whether or not it succeeded. Returns 0.
int DeleteFileReported(HWND window, const std::string& path, TreeProgressCallback callback);

// One DeleteFileA: 1 when the file was deleted, else 0. No retry, no change
// of attributes, no deletion at the next restart.
int TryDeleteFile(const std::string& path);

}  // namespace uninstall
