// The folders of the running system and of its users that the uninstaller
// must never remove, as the system names them.
#pragma once

#include "uninstall/RemovalRules.h"

namespace uninstall {

ProtectedFolders SystemProtectedFolders();

}  // namespace uninstall
