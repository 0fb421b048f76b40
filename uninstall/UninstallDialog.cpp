#include "uninstall/UninstallDialog.h"

#include "framework/DataExchange.h"
#include "install/RegistryRecords.h"
#include "uninstall/UninstallTexts.h"

namespace uninstall {

UninstallDialog::UninstallDialog() : ui::ProductDialog(IDD_UNINSTALL_DIALOG, IDI_PRODUCT) {}

void UninstallDialog::DoDataExchange(framework::DataExchange& exchange) {
  framework::ExchangeControl(exchange, IDC_UNINSTALL_PROGRESS, progressBar_);
  framework::ExchangeControl(exchange, IDC_UNINSTALL_STATUS, statusLine_);
  framework::ExchangeControl(exchange, IDOK, okButton_);
  framework::ExchangeControl(exchange, IDCANCEL, cancelButton_);
}

// Without a recorded install folder there is nothing to remove and nothing
// to ask: the user learns that the installation is incomplete and the
// program ends before the dialog shows.
BOOL UninstallDialog::OnInitDialog() {
  ui::ProductDialog::OnInitDialog();
  std::string folder;
  if (!install::ReadInstallFolder(folder)) {
    MessageBox(texts::kIncompleteInstallation, texts::kErrorCaption, MB_OK | MB_ICONINFORMATION);
    ::ExitProcess(1);
  }
  installFolder_ = folder;
  progressBar_.Show(false);
  statusLine_.PaintOnlyWhenAsked();
  return TRUE;
}

void UninstallDialog::OnCancel() {
  if (cancelButton_.IsEnabled()) ui::ProductDialog::OnCancel();
}

// Moving, minimising and the About box work at any time. The close box and
// Alt+F4 act only while Cancel is enabled: once the removal has begun,
// nothing may close the dialog under it.
LRESULT UninstallDialog::OnSysCommand(WPARAM command, LPARAM lParam, bool& handled) {
  if ((command & 0xFFF0) == SC_CLOSE && !cancelButton_.IsEnabled()) return 0;
  return ui::ProductDialog::OnSysCommand(command, lParam, handled);
}

}  // namespace uninstall
