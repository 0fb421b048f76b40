#pragma once

#include <windows.h>

#include <string>

namespace framework {

// The string-table entry `id` of the program's resources as the program's
// own text (GBK), whatever the system's code page; an empty text when there
// is no such entry.
std::string LoadResourceString(UINT id);

}  // namespace framework
