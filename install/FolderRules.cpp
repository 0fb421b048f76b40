#include "install/FolderRules.h"

#include <algorithm>

#include "folders/OwnedFolders.h"
#include "payload/NameRules.h"
#include "payload/PayloadFormat.h"

namespace install {

FolderProblem CheckInstallFolder(const std::string& folderText, size_t longestEntryPath) {
  if (folderText.empty()) return FolderProblem::kEmpty;
  if (!folders::IsAbsoluteFolder(folderText)) return FolderProblem::kNotAbsolute;
  const size_t folderLength =
      folderText.size() + (payload::EndsWithBackslash(folderText) ? 0 : 1);
  const size_t longest = folderLength + std::max(kLongestFixedSuffix, longestEntryPath);
  // Every formed path needs its terminating NUL inside MAX_PATH bytes.
  if (longest + 1 > static_cast<size_t>(payload::kMaxPath)) return FolderProblem::kTooLong;
  return FolderProblem::kNone;
}

}  // namespace install
