// Scans of payload names and paths. Names are GBK bytes: every scan steps
// over a double-byte character as one unit, so a trail byte of 0x5C is never
// taken for a backslash.
#pragma once

#include <string>
#include <vector>

namespace payload {

// Positions of the backslash characters of `text` (never trail bytes).
std::vector<size_t> BackslashPositions(const std::string& text);

// Positions of the separators of a path, '\\' and '/' (never trail bytes):
// Windows reads both in a folder the user typed.
std::vector<size_t> SeparatorPositions(const std::string& text);

// The components of `path` between its backslashes (never trail bytes),
// empty ones kept: a\\b\ gives "a", "", "b" and "".
std::vector<std::string> PathComponents(const std::string& path);

// A path component as Windows reads it: trailing dots and blanks dropped,
// except in "." and "..".
std::string TrimmedComponent(std::string component);

// True when the last character of `text` is a backslash.
bool EndsWithBackslash(const std::string& text);

// True when folder + file, joined as the reader joins them, names a file
// inside the target folder: no absolute or drive-relative name, no ':' or
// '/', no component of only dots and blanks ("." and ".." among them), no
// device name such as CON or LPT1, no empty component before the file name.
bool IsEntryNameSafe(const std::string& folderName, const std::string& fileName);

}  // namespace payload
