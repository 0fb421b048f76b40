#include "install/ForeignEntries.h"

#include <algorithm>

#include "payload/Characters.h"
#include "payload/NameRules.h"
#include "payload/PlatformFile.h"

namespace install {
namespace {

// What the package brings, as sorted lists of paths relative to the install
// folder, case-folded and without trailing dots and blanks, which Windows
// drops from the names it creates.
struct PackageTree {
  std::vector<std::string> files;
  std::vector<std::string> folders;

  bool Holds(const std::string& path, bool isFolder) const {
    const std::vector<std::string>& paths = isFolder ? folders : files;
    return std::binary_search(paths.begin(), paths.end(), path);
  }
};

PackageTree TreeOf(const std::vector<std::string>& entryPaths) {
  PackageTree tree;
  for (const std::string& entryPath : entryPaths) {
    const std::vector<std::string> components =
        payload::PathComponents(payload::FoldCase(entryPath));
    std::string relative;
    for (size_t i = 0; i < components.size(); ++i) {
      const std::string component = payload::TrimmedComponent(components[i]);
      if (component.empty() || component == "." || component == "..") continue;
      relative += (relative.empty() ? "" : "\\") + component;
      (i + 1 == components.size() ? tree.files : tree.folders).push_back(relative);
    }
  }
  for (std::vector<std::string>* paths : {&tree.files, &tree.folders}) {
    std::sort(paths->begin(), paths->end());
  }
  return tree;
}

// `relative` is "" for the install folder itself, else one of the
// package's folders below it, as the file system names it.
std::string FindForeignBelow(const std::string& folder, const std::string& relative,
                             const PackageTree& tree) {
  payload::FolderListing listing(folder + relative);
  payload::FolderEntry entry;
  while (listing.Next(entry)) {
    const std::string path = relative.empty() ? entry.name : relative + "\\" + entry.name;
    if (entry.isLink || !tree.Holds(payload::FoldCase(path), entry.isFolder)) return folder + path;
    if (entry.isFolder) {
      std::string foreign = FindForeignBelow(folder, path, tree);
      if (!foreign.empty()) return foreign;
    }
  }
  return std::string();
}

}  // namespace

std::string FindForeignEntry(const std::string& folder,
                             const std::vector<std::string>& entryPaths) {
  std::string base = folder;
  if (!payload::EndsWithBackslash(base)) base += '\\';
  return FindForeignBelow(base, std::string(), TreeOf(entryPaths));
}

}  // namespace install
