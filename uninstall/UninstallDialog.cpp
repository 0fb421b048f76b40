#include "uninstall/UninstallDialog.h"

namespace uninstall {

UninstallDialog::UninstallDialog() : ui::ProductDialog(IDD_UNINSTALL_DIALOG, IDI_PRODUCT) {}

// Moving, minimising and the About box work at any time. The close box and
// Alt+F4 act only while Cancel is enabled: once the removal has begun,
// nothing may close the dialog under it.
LRESULT UninstallDialog::OnSysCommand(WPARAM command, LPARAM lParam, bool& handled) {
  if ((command & 0xFFF0) == SC_CLOSE && !::IsWindowEnabled(Item(IDCANCEL))) return 0;
  return ui::ProductDialog::OnSysCommand(command, lParam, handled);
}

}  // namespace uninstall
