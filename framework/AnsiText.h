#pragma once

#include <windows.h>

namespace framework {

// True for a byte that starts a double-byte character in the system's ANSI
// code page (GBK on Simplified Chinese systems).
inline bool IsAnsiLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

}  // namespace framework
