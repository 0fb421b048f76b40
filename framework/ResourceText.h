#pragma once

#include <windows.h>

#include <string>

namespace framework {

// The string-table entry `id` of the program's resources in the thread's
// ANSI code page; an empty text when there is no such entry.
std::string LoadResourceString(UINT id);

}  // namespace framework
