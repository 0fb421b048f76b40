// Writes an installer package whose entry names try to leave the install
// folder: parvane-pack refuses to build one, so the records are written
// here by hand. Two entries stay inside (kept.txt in the folder itself and
// Sub\kept.txt); every other entry's file name begins with "escaped-", so a
// file of that name anywhere on the disk means a way out was taken.
//
//   make_hostile_package IMAGE OUT OUTSIDE
//
// IMAGE is the bare installer image; OUTSIDE is an absolute Windows folder
// ending in a backslash (a Z: path under Wine reaches the Unix side), used
// as one entry's folder name. Each entry's content is its own name.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tests/host/TestSupport.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: make_hostile_package IMAGE OUT OUTSIDE\n");
    return 2;
  }
  const std::string outside = argv[3];
  // Folder name, file name.
  const std::vector<std::pair<std::string, std::string>> names = {
      {"", "kept.txt"},
      {"..\\", "escaped-parent.txt"},
      {"", "..\\escaped-in-file-name.txt"},
      {"Sub\\..\\..\\", "escaped-through-sub.txt"},
      {"..\\..\\..\\windows\\", "escaped-windows.txt"},
      {"C:\\", "escaped-drive-root.txt"},
      {"\\", "escaped-root-relative.txt"},
      {"C:", "escaped-drive-relative.txt"},
      {outside, "escaped-unix-side.txt"},
      {"../", "escaped-slash.txt"},
      {".. \\", "escaped-dots-blank.txt"},
      {"Sub\\", "kept.txt"},
  };
  try {
    std::vector<testing_support::PackageEntry> entries;
    for (const auto& [folder, file] : names) {
      testing_support::PackageEntry entry;
      entry.folderName = folder;
      entry.fileName = file;
      entry.content = folder + file + "\r\n";
      entries.push_back(entry);
    }
    const std::string image = testing_support::ReadFile(argv[1]);
    testing_support::WriteFile(argv[2], testing_support::BuildPackage(entries, "", image).bytes);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "make_hostile_package: %s\n", error.what());
    return 1;
  }
  return 0;
}
