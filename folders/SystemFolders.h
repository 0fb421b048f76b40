// The folders of the running system and of its users that no installation
// may own, as the system names them.
#pragma once

#include "folders/OwnedFolders.h"

namespace folders {

ProtectedFolders SystemProtectedFolders();

}  // namespace folders
