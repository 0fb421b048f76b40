#include "install/InstallFolder.h"

namespace install {

std::string installFolder;

}  // namespace install
