#include "uninstall/UninstallDialog.h"

#include "res/resource.h"

namespace uninstall {

UninstallDialog::UninstallDialog() : framework::Dialog(IDD_UNINSTALL_DIALOG) {}

}  // namespace uninstall
