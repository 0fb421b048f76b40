#include "install/TargetPage.h"

#include <shlobj.h>

#include "framework/DataExchange.h"
#include "install/FolderBrowser.h"
#include "install/InstallTexts.h"

namespace install {
namespace {

// The Program Files folder followed by the maker's and the product's
// folders, always with a trailing backslash. Without the Program Files
// folder this is "\Tavisk\Parvane\".
std::string DefaultInstallFolder(HWND window) {
  char programFiles[MAX_PATH] = {};
  ::SHGetSpecialFolderPathA(window, programFiles, CSIDL_PROGRAM_FILES, FALSE);
  return std::string(programFiles) + "\\Tavisk\\Parvane\\";
}

}  // namespace

TargetPage::TargetPage() : ui::ProductDialog(IDD_TARGET_PAGE, IDI_PRODUCT) {}

void TargetPage::DoDataExchange(framework::DataExchange& exchange) {
  framework::ExchangeControl(exchange, IDCANCEL, quitButton_);
  framework::ExchangeControl(exchange, IDOK, installButton_);
  framework::ExchangeControl(exchange, IDC_TARGET_STATUS, statusLine_);
  framework::ExchangeControl(exchange, IDC_TARGET_PROMPT, prompt_);
  framework::ExchangeControl(exchange, IDC_TARGET_PROGRESS, progressBar_);
  framework::ExchangeControl(exchange, IDC_TARGET_FOLDER, folderEdit_);
  framework::ExchangeControl(exchange, IDC_TARGET_BROWSE, browseButton_);
}

BOOL TargetPage::OnInitDialog() {
  ui::ProductDialog::OnInitDialog();
  ShowChoosingLayout();
  statusLine_.PaintOnlyWhenAsked();
  progressBar_.SetStep(1);
  folderText_ = DefaultInstallFolder(Handle());
  folderEdit_.SetText(framework::ScreenText::FromSystem(folderText_));
  return TRUE;
}

// Browse and Quit stay as the template has them.
void TargetPage::ShowChoosingLayout() {
  statusLine_.Show(false);
  progressBar_.Show(false);
  prompt_.Show(true);
  folderEdit_.Show(true);
  installButton_.Show(true);
}

// The browser has no owner, so the page stays usable while it is open.
void TargetPage::OnBrowse() {
  FolderBrowser browser(texts::kBrowserCaption);
  if (browser.Browse(nullptr)) {
    folderEdit_.SetText(framework::ScreenText::FromSystem(browser.selectedPath));
  }
}

void TargetPage::OnCancel() {
  if (!installing_) ui::ProductDialog::OnCancel();
}

}  // namespace install
