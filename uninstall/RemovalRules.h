// The folder the removal starts on. Portable: tested natively with GBK.
#pragma once

#include <string>

namespace uninstall {

// The install folder as recorded ends with a backslash; the removal works
// on the folder itself. Only a final backslash is cut: a recorded value
// without one already names the folder.
std::string FolderToRemove(const std::string& installFolder);

}  // namespace uninstall
