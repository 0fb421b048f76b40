#include "uninstall/RemovalRules.h"

#include "payload/NameRules.h"

namespace uninstall {

std::string FolderToRemove(const std::string& installFolder) {
  if (!payload::EndsWithBackslash(installFolder)) return installFolder;
  return installFolder.substr(0, installFolder.size() - 1);
}

}  // namespace uninstall
