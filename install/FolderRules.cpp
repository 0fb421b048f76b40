#include "install/FolderRules.h"

#include <algorithm>

#include "payload/NameRules.h"
#include "payload/PayloadFormat.h"

namespace install {
namespace {

bool IsDriveLetter(char byte) {
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

bool IsAbsolute(const std::string& folder) {
  if (folder.size() >= 3 && IsDriveLetter(folder[0]) && folder[1] == ':' && folder[2] == '\\') {
    return true;
  }
  // "\\server\share": at least a server name after the two backslashes.
  return folder.size() >= 3 && folder[0] == '\\' && folder[1] == '\\' && folder[2] != '\\';
}

}  // namespace

FolderProblem CheckInstallFolder(const std::string& folderText, size_t longestEntryPath) {
  if (folderText.empty()) return FolderProblem::kEmpty;
  if (!IsAbsolute(folderText)) return FolderProblem::kNotAbsolute;
  const size_t folderLength =
      folderText.size() + (payload::EndsWithBackslash(folderText) ? 0 : 1);
  const size_t longest = folderLength + std::max(kLongestFixedSuffix, longestEntryPath);
  // Every formed path needs its terminating NUL inside MAX_PATH bytes.
  if (longest + 1 > static_cast<size_t>(payload::kMaxPath)) return FolderProblem::kTooLong;
  return FolderProblem::kNone;
}

}  // namespace install
