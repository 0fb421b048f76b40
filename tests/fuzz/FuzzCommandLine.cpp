// Fuzz entry point for the command-line rules, with GBK as the code page.
// The first byte picks what the rest is:
//   0: a whole process command line, checked for bounds and against an
//      independent search for "uninstall" on character boundaries;
//   1: a program path and arguments (split at the first NUL byte), joined as
//      the uninstall entry joins them, "<path>" arguments;
//   2: the same, joined without quotes, as older entries were written.
// For a path that the quotes (or blanks) can carry, the arguments must come
// back exactly, and the program's own name never selects uninstall mode.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace {

bool IsGbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

[[noreturn]] void Broken(const char* what, const std::string& commandLine) {
  std::fprintf(stderr, "command line fuzz: %s\n  input:", what);
  for (unsigned char byte : commandLine) std::fprintf(stderr, " %02X", byte);
  std::fprintf(stderr, "\n");
  std::abort();
}

bool IsSeparator(unsigned char byte) { return byte >= 0x01 && byte <= 0x20; }

// Where each character of `text` starts. A lead byte takes the byte after it,
// unless it is the last byte.
std::vector<bool> CharacterStarts(const std::string& text) {
  std::vector<bool> starts(text.size(), false);
  for (size_t i = 0; i < text.size(); ++i) {
    starts[i] = true;
    if (IsGbkLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ++i;
  }
  return starts;
}

bool ContainsWordOnBoundary(const std::string& text) {
  const std::vector<bool> starts = CharacterStarts(text);
  for (size_t at = text.find("uninstall"); at != std::string::npos;
       at = text.find("uninstall", at + 1)) {
    if (starts[at]) return true;
  }
  return false;
}

// True when `path` has no character that the rule for program names would
// stop at or switch on: a quote, or (for an unquoted name) a separator. A
// lead byte at the very end would swallow the closing quote or blank.
bool CarriesPath(const std::string& path, bool quoted) {
  const std::vector<bool> starts = CharacterStarts(path);
  for (size_t i = 0; i < path.size(); ++i) {
    if (!starts[i]) continue;
    const auto byte = static_cast<unsigned char>(path[i]);
    if (byte == '"' || (!quoted && IsSeparator(byte))) return false;
    if (IsGbkLeadByte(byte) && i + 1 == path.size()) return false;
  }
  return true;
}

void CheckWhole(const std::string& commandLine) {
  const char* begin = commandLine.c_str();
  const char* arguments = app::SkipProgramName(begin, IsGbkLeadByte);
  if (arguments < begin || arguments > begin + commandLine.size()) {
    Broken("arguments outside the command line", commandLine);
  }
  if (IsSeparator(static_cast<unsigned char>(*arguments))) {
    Broken("arguments start with a blank", commandLine);
  }
  const std::string rest(arguments);
  if (app::RequestsUninstall(rest.c_str(), IsGbkLeadByte) != ContainsWordOnBoundary(rest)) {
    Broken("RequestsUninstall disagrees with the boundary search", commandLine);
  }
}

void CheckJoined(const std::string& path, const std::string& arguments, bool quoted) {
  const std::string program = quoted ? "\"" + path + "\"" : path;
  // Blanks then anything: the arguments as the system would pass them.
  const std::string commandLine = program + " " + arguments;
  CheckWhole(commandLine);
  if (!CarriesPath(path, quoted)) return;

  size_t first = 0;
  while (first < arguments.size() && IsSeparator(static_cast<unsigned char>(arguments[first]))) {
    ++first;
  }
  const std::string expected = arguments.substr(first);
  const std::string got = app::SkipProgramName(commandLine.c_str(), IsGbkLeadByte);
  if (got != expected) Broken("the arguments did not come back whole", commandLine);
  if (app::RequestsUninstall(app::SkipProgramName(program.c_str(), IsGbkLeadByte),
                             IsGbkLeadByte)) {
    Broken("the program's own name selected uninstall mode", program);
  }
  // The uninstall entry's command: its path never hides the word after it.
  const std::string entry = program + " uninstall";
  if (!app::RequestsUninstall(app::SkipProgramName(entry.c_str(), IsGbkLeadByte),
                              IsGbkLeadByte)) {
    Broken("the uninstall command did not select uninstall mode", entry);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  switch (data[0] % 3) {
    case 0:
      // The system hands over a NUL-terminated text: stop at the first NUL.
      CheckWhole(std::string(rest.c_str()));
      break;
    default: {
      const size_t split = rest.find('\0');
      const std::string path = rest.substr(0, split);
      const std::string arguments =
          split == std::string::npos ? std::string() : std::string(rest.c_str() + split + 1);
      CheckJoined(path, arguments, data[0] % 3 == 1);
      break;
    }
  }
  return 0;
}
