#pragma once

#include <windows.h>

namespace framework {

// True for a byte that starts a double-byte character in the system's ANSI
// code page (GBK on Simplified Chinese systems).
inline bool IsAnsiLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

// Equal texts, ASCII letters compared without regard to case; double-byte
// characters compare byte for byte, so a trail byte is never case-folded.
inline bool EqualsIgnoringCase(const char* left, const char* right) {
  auto upper = [](unsigned char byte) {
    return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
  };
  for (;;) {
    const auto a = static_cast<unsigned char>(*left);
    const auto b = static_cast<unsigned char>(*right);
    if (IsAnsiLeadByte(a) && left[1] != '\0') {
      if (a != b || left[1] != right[1]) return false;
      left += 2;
      right += 2;
      continue;
    }
    if (upper(a) != upper(b)) return false;
    if (a == '\0') return true;
    ++left;
    ++right;
  }
}

}  // namespace framework
