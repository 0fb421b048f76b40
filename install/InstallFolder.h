#pragma once

#include <string>

namespace install {

// The folder of this installation, ending with a backslash. Empty until the
// install sequence sets it just before the extraction; uninstall mode never
// sets it.
extern std::string installFolder;

}  // namespace install
