// Where a package's entries come from: every file below a folder, or a list
// file of "name inside the package<TAB>source path" lines.
#pragma once

#include <string>
#include <vector>

#include "tools/pack/PackageWriter.h"

namespace pack {

// Every regular file below `root`, depth first, the components of the
// relative paths compared byte by byte (so "a.txt" < "b\\c" and "a\\x" < "ab").
// Symbolic links to files are packed as files; linked folders are not entered.
// With `fromUtf8` the names are converted from UTF-8 to GBK, else taken as
// they are. Throws PackError.
std::vector<PackEntry> EntriesFromFolder(const std::string& root, bool fromUtf8);

// One entry per non-empty line, in the list's order. Relative source paths
// are taken from the list file's folder. Throws PackError.
std::vector<PackEntry> EntriesFromList(const std::string& listPath, bool fromUtf8);

// Converts UTF-8 text to GBK; throws PackError naming `what` on failure.
std::string Utf8ToGbk(const std::string& text, const std::string& what);

}  // namespace pack
