// Characters of the ANSI code page's texts (GBK on Simplified Chinese
// systems and in the host build). Every scan of a name, a path or a command
// line steps over a double-byte character as one unit, so its trail byte is
// never taken for a backslash, a quote, a blank or a letter to fold.
#pragma once

#include <cstddef>
#include <string>

#include "payload/PlatformFile.h"

namespace payload {

using LeadBytePredicate = bool (*)(unsigned char byte);

// The size of the character that starts at `text`, with `available` bytes
// from there to the end of the text: two for a lead byte with a byte after
// it, one otherwise.
inline size_t CharacterSize(const char* text, size_t available,
                            LeadBytePredicate isLeadByte = IsLeadByte) {
  return available >= 2 && isLeadByte(static_cast<unsigned char>(text[0])) ? 2 : 1;
}

// Calls visit(position, byte) for every single-byte character of `text`;
// double-byte characters are skipped whole.
template <typename Visit>
void ForEachSingleByte(const std::string& text, Visit visit) {
  for (size_t i = 0; i < text.size();) {
    const size_t size = CharacterSize(text.data() + i, text.size() - i);
    if (size == 1) visit(i, static_cast<unsigned char>(text[i]));
    i += size;
  }
}

// `text` with its ASCII letters upper-cased; double-byte characters are
// kept byte for byte.
std::string FoldCase(const std::string& text);

// Equal texts, ASCII letters compared without regard to case. Windows folds
// more letters than these, so two names equal here are always the same
// name to Windows.
bool EqualsIgnoringCase(const std::string& left, const std::string& right);

}  // namespace payload
