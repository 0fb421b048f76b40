#include "app/CommandLine.h"

#include <cstring>

namespace app {
namespace {

// The byte after the character that starts at `text`: two bytes for a
// double-byte character, but never past the terminating NUL.
const char* NextCharacter(const char* text, LeadBytePredicate isLeadByte) {
  return text + payload::CharacterSize(text, text[1] != '\0' ? 2 : 1, isLeadByte);
}

bool IsSeparator(char byte) {
  const auto value = static_cast<unsigned char>(byte);
  return value >= 0x01 && value <= 0x20;
}

}  // namespace

const char* SkipProgramName(const char* processCommandLine, LeadBytePredicate isLeadByte) {
  const char* position = processCommandLine;
  bool insideQuotes = false;
  while (*position != '\0') {
    if (*position == '"') {
      insideQuotes = !insideQuotes;
    } else if (!insideQuotes && IsSeparator(*position)) {
      break;
    }
    position = NextCharacter(position, isLeadByte);
  }
  while (IsSeparator(*position)) ++position;
  return position;
}

bool RequestsUninstall(const char* arguments, LeadBytePredicate isLeadByte) {
  static const char kWord[] = "uninstall";
  for (const char* position = arguments; *position != '\0';
       position = NextCharacter(position, isLeadByte)) {
    if (std::strncmp(position, kWord, sizeof kWord - 1) == 0) return true;
  }
  return false;
}

}  // namespace app
