// Whether a folder already holds anything the package does not bring. The
// uninstaller removes everything below the install folder, so a folder that
// holds other files or programs is no folder to install into. Portable:
// tested natively with GBK.
#pragma once

#include <string>
#include <vector>

namespace install {

// The first file or folder below `folder` that is not one of the package's
// entries or one of the folders they lie in: a name the package does not
// have at that level, a file where the package has a folder or the other
// way round, or a link. `entryPaths` are the entries' folder name plus file
// name. Names are compared as Windows compares them, without regard to
// case. Only the package's own folders are looked into, each once, and the
// scan stops at the first foreign entry, so its cost is bounded by the
// package, not by the folder. Empty when there is none, or when the folder
// does not exist.
std::string FindForeignEntry(const std::string& folder, const std::vector<std::string>& entryPaths);

}  // namespace install
