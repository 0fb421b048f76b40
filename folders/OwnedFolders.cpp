#include "folders/OwnedFolders.h"

#include <algorithm>

#include "payload/Characters.h"
#include "payload/NameRules.h"
#include "payload/PlatformFile.h"

namespace folders {
namespace {

bool IsDriveLetter(char byte) {
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

bool StartsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

// '/' read as '\' and ASCII letters upper-cased, double-byte characters
// kept as they are: a trail byte may look like either.
std::string FoldSingleBytes(const std::string& path) {
  std::string folded = payload::FoldCase(path);
  payload::ForEachSingleByte(folded, [&](size_t i, unsigned char byte) {
    if (byte == '/') folded[i] = '\\';
  });
  return folded;
}

// Resolves "." and ".." the way Windows does: ".." never climbs above the
// first `fixed` components (a UNC path's server and share).
std::vector<std::string> ResolveComponents(const std::vector<std::string>& raw, size_t fixed) {
  std::vector<std::string> resolved;
  for (const std::string& piece : raw) {
    const std::string component = payload::TrimmedComponent(piece);
    if (component.empty() || component == ".") continue;
    if (component == "..") {
      if (resolved.size() > fixed) resolved.pop_back();
      continue;
    }
    resolved.push_back(component);
  }
  return resolved;
}

std::string Join(const std::vector<std::string>& components) {
  std::string joined;
  for (const std::string& component : components) {
    if (!joined.empty()) joined += '\\';
    joined += component;
  }
  return joined;
}

bool IsDriveAbsolute(const std::string& comparable) {
  return comparable.size() >= 3 && IsDriveLetter(comparable[0]) && comparable[1] == ':' &&
         comparable[2] == '\\';
}

bool IsUnc(const std::string& comparable) { return StartsWith(comparable, "\\\\"); }

// True when `folder` is `inner` or one of the folders above it.
bool IsOrContains(const std::string& folder, const std::string& inner) {
  if (folder.empty() || inner.size() < folder.size()) return false;
  if (inner.compare(0, folder.size(), folder) != 0) return false;
  if (inner.size() == folder.size()) return true;
  // A folder text ending in a lone lead byte would take the trail byte
  // that follows in `inner` for a separator.
  const std::vector<size_t> separators = payload::BackslashPositions(inner);
  return std::find(separators.begin(), separators.end(), folder.size()) != separators.end();
}

// "\\?\C:\x" and "\\?\UNC\server\share" name what "C:\x" and
// "\\server\share" name.
std::string WithoutDevicePrefix(const std::string& folded) {
  if (StartsWith(folded, "\\\\?\\UNC\\") || StartsWith(folded, "\\\\.\\UNC\\")) {
    return "\\\\" + folded.substr(8);
  }
  if (StartsWith(folded, "\\\\?\\") || StartsWith(folded, "\\\\.\\")) return folded.substr(4);
  return folded;
}

std::string ParentOf(const std::string& comparable) {
  const std::vector<size_t> separators = payload::BackslashPositions(comparable);
  if (separators.empty()) return std::string();
  const size_t last = separators.back();
  // The parent of "C:\Users" is "C:\", with its backslash.
  return comparable.substr(0, last == 2 && comparable[1] == ':' ? 3 : last);
}

}  // namespace

std::string ComparablePath(const std::string& path) {
  const std::string text = WithoutDevicePrefix(FoldSingleBytes(path));
  if (text.size() >= 2 && IsDriveLetter(text[0]) && text[1] == ':') {
    const bool rooted = text.size() >= 3 && text[2] == '\\';
    const std::string rest = Join(ResolveComponents(payload::PathComponents(text.substr(2)), 0));
    return text.substr(0, 2) + (rooted ? "\\" : "") + rest;
  }
  if (IsUnc(text)) {
    return "\\\\" + Join(ResolveComponents(payload::PathComponents(text.substr(2)), 2));
  }
  const bool rooted = !text.empty() && text[0] == '\\';
  return (rooted ? "\\" : "") + Join(ResolveComponents(payload::PathComponents(text), 0));
}

bool IsAbsoluteFolder(const std::string& folder) {
  if (IsDriveAbsolute(ComparablePath(folder))) return true;
  // A server name must follow the two separators: "\\\x" names no server.
  const std::string text = WithoutDevicePrefix(FoldSingleBytes(folder));
  return IsUnc(text) && text.size() > 2 && text[2] != '\\';
}

bool IsSameFolder(const std::string& left, const std::string& right) {
  return ComparablePath(left) == ComparablePath(right);
}

FolderCheck CheckOwnableFolder(const std::string& folder,
                               const ProtectedFolders& protectedFolders) {
  FolderCheck check;
  if (folder.empty()) {
    check.refusal = FolderRefusal::kEmpty;
    return check;
  }
  const std::string comparable = ComparablePath(folder);
  if (comparable.size() == 2 && comparable[1] == ':' && IsDriveLetter(comparable[0])) {
    check.refusal = FolderRefusal::kDriveRoot;
    return check;
  }
  if (IsUnc(comparable)) {
    const size_t components = payload::PathComponents(comparable.substr(2)).size();
    if (!IsAbsoluteFolder(folder)) {
      check.refusal = FolderRefusal::kNotAbsolute;
    } else if (components <= 2) {
      check.refusal = FolderRefusal::kShareRoot;
    }
    if (check.refusal != FolderRefusal::kNone) return check;
  } else if (!IsDriveAbsolute(comparable)) {
    check.refusal = FolderRefusal::kNotAbsolute;
    return check;
  } else if (comparable.size() == 3) {
    check.refusal = FolderRefusal::kDriveRoot;
    return check;
  }

  auto refuse = [&](const std::string& listed) {
    check.refusal = FolderRefusal::kProtectedFolder;
    check.protectedFolder = listed;
    return check;
  };
  for (const std::string& listed : protectedFolders.folders) {
    if (IsOrContains(comparable, ComparablePath(listed))) return refuse(listed);
  }
  const std::string parent = ParentOf(comparable);
  for (const std::string& listed : protectedFolders.profileParents) {
    const std::string profiles = ComparablePath(listed);
    if (profiles.empty()) continue;
    if (IsOrContains(comparable, profiles)) return refuse(listed);
    if (parent == profiles) return refuse(folder);
  }
  return check;
}

}  // namespace folders
