#include "tools/pack/EntrySources.h"

#include <dirent.h>
#include <iconv.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>

#include "payload/NameRules.h"

namespace pack {
namespace {

using Components = std::vector<std::string>;

void Collect(const std::string& root, Components& relative, std::vector<Components>& found) {
  std::string folder = root;
  for (const std::string& part : relative) folder += "/" + part;
  std::unique_ptr<DIR, int (*)(DIR*)> listing(opendir(folder.c_str()), closedir);
  if (!listing) throw PackError("cannot read folder " + folder + ": " + std::strerror(errno));
  std::vector<std::string> names;
  while (dirent* item = readdir(listing.get())) {
    std::string name = item->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  for (const std::string& name : names) {
    const std::string path = folder + "/" + name;
    struct stat link, target;
    if (lstat(path.c_str(), &link) != 0 || stat(path.c_str(), &target) != 0) {
      throw PackError("cannot read " + path + ": " + std::strerror(errno));
    }
    relative.push_back(name);
    if (S_ISDIR(target.st_mode) && !S_ISLNK(link.st_mode)) {
      Collect(root, relative, found);
    } else if (S_ISREG(target.st_mode)) {
      found.push_back(relative);
    }
    relative.pop_back();
  }
}

std::string Join(const std::string& separator, const Components& parts, size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) text += parts[i] + separator;
  return text;
}

}  // namespace

std::string Utf8ToGbk(const std::string& text, const std::string& what) {
  iconv_t converter = iconv_open("GBK", "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) throw PackError("no UTF-8 to GBK converter");
  std::unique_ptr<void, int (*)(iconv_t)> close(converter, iconv_close);
  std::string input = text;
  std::string output(text.size() * 2 + 4, '\0');
  char* in = input.data();
  char* out = output.data();
  size_t inLeft = input.size();
  size_t outLeft = output.size();
  if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) {
    throw PackError(what + " is not UTF-8 text that GBK can hold: \"" + text + "\"");
  }
  output.resize(output.size() - outLeft);
  return output;
}

std::vector<PackEntry> EntriesFromFolder(const std::string& root, bool fromUtf8) {
  struct stat info;
  if (stat(root.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    throw PackError("not a folder: " + root);
  }
  std::vector<Components> found;
  Components relative;
  Collect(root, relative, found);
  std::sort(found.begin(), found.end());

  std::vector<PackEntry> entries;
  for (Components& parts : found) {
    const std::string source = root + "/" + Join("/", parts, parts.size() - 1) + parts.back();
    for (std::string& part : parts) {
      if (fromUtf8) part = Utf8ToGbk(part, "name " + source);
      if (!payload::BackslashPositions(part).empty()) {
        // A backslash inside a name would become a folder separator.
        throw PackError("name contains a backslash: " + source);
      }
    }
    PackEntry entry;
    entry.folderName = Join("\\", parts, parts.size() - 1);
    entry.fileName = parts.back();
    entry.sourcePath = source;
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::vector<PackEntry> EntriesFromList(const std::string& listPath, bool fromUtf8) {
  std::ifstream list(listPath, std::ios::binary);
  if (!list) throw PackError("cannot open list " + listPath + ": " + std::strerror(errno));
  const size_t slash = listPath.rfind('/');
  const std::string base = slash == std::string::npos ? "" : listPath.substr(0, slash + 1);

  std::vector<PackEntry> entries;
  std::string line;
  for (int number = 1; std::getline(list, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) {
      throw PackError(listPath + ":" + std::to_string(number) +
                      ": expected \"name<TAB>source path\"");
    }
    std::string name = line.substr(0, tab);
    if (fromUtf8) name = Utf8ToGbk(name, listPath + ":" + std::to_string(number) + ": name");
    std::string source = line.substr(tab + 1);
    PackEntry entry = SplitPackageName(name);
    entry.sourcePath = !source.empty() && source[0] == '/' ? source : base + source;
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace pack
