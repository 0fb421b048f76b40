#include "payload/NameRules.h"

#include "payload/Characters.h"

namespace payload {
namespace {

// Windows drops trailing dots and blanks from a path component, so a
// component made only of them may resolve to "." or "..".
bool IsDotsAndBlanks(const std::string& component) {
  for (char c : component) {
    if (c != '.' && c != ' ') return false;
  }
  return true;
}

// Windows opens a device, not a file, for these names in any folder, also
// with an extension ("nul.txt") or trailing blanks ("CON ").
bool IsDeviceName(const std::string& component) {
  std::string base = component.substr(0, component.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (const char* device : kDevices) {
    if (base == device) return true;
  }
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         base[3] >= '1' && base[3] <= '9';
}

}  // namespace

std::vector<size_t> BackslashPositions(const std::string& text) {
  std::vector<size_t> positions;
  ForEachSingleByte(text, [&](size_t i, unsigned char byte) {
    if (byte == '\\') positions.push_back(i);
  });
  return positions;
}

std::vector<size_t> SeparatorPositions(const std::string& text) {
  std::vector<size_t> positions;
  ForEachSingleByte(text, [&](size_t i, unsigned char byte) {
    if (byte == '\\' || byte == '/') positions.push_back(i);
  });
  return positions;
}

std::vector<std::string> PathComponents(const std::string& path) {
  std::vector<std::string> components;
  size_t start = 0;
  std::vector<size_t> separators = BackslashPositions(path);
  separators.push_back(path.size());
  for (size_t end : separators) {
    components.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return components;
}

std::string TrimmedComponent(std::string component) {
  if (component == "." || component == "..") return component;
  while (!component.empty() && (component.back() == '.' || component.back() == ' ')) {
    component.pop_back();
  }
  return component;
}

bool EndsWithBackslash(const std::string& text) {
  bool last = false;
  ForEachSingleByte(text, [&](size_t i, unsigned char byte) {
    last = byte == '\\' && i + 1 == text.size();
  });
  return last;
}

bool IsEntryNameSafe(const std::string& folderName, const std::string& fileName) {
  const std::string path = folderName + fileName;
  if (path.empty()) return true;
  if (path[0] == '\\' || path[0] == '/') return false;
  // No double-byte code page uses ':' or '/' as a trail byte, so these are
  // looked for in every byte: a lead byte in front must not hide them.
  if (path.find_first_of(":/") != std::string::npos) return false;

  const std::vector<std::string> components = PathComponents(path);
  for (size_t i = 0; i < components.size(); ++i) {
    const std::string& component = components[i];
    const bool isLast = i + 1 == components.size();
    // The file name may be empty (the entry then fails on its own), but a
    // folder level may not.
    if (component.empty() ? !isLast : IsDotsAndBlanks(component) || IsDeviceName(component)) {
      return false;
    }
  }
  return true;
}

}  // namespace payload
