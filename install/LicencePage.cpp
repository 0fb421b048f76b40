#include "install/LicencePage.h"

#include <cstring>
#include <memory>

#include "framework/DataExchange.h"
#include "framework/ResourceText.h"
#include "install/TargetPage.h"

namespace install {
namespace {

// The agreement from the program's resources, as it is stored, up to its
// first NUL byte or its end. False when it cannot be found, loaded or
// locked.
bool LoadLicenceText(std::string& text) {
  HMODULE module = ::GetModuleHandleA(nullptr);
  HRSRC resource =
      ::FindResourceA(module, MAKEINTRESOURCEA(IDR_LICENCE_TEXT), RT_LICENCE_TEXT);
  if (!resource) return false;
  HGLOBAL loaded = ::LoadResource(module, resource);
  if (!loaded) return false;
  const auto* bytes = static_cast<const char*>(::LockResource(loaded));
  if (!bytes) return false;
  const DWORD size = ::SizeofResource(module, resource);
  const void* nul = std::memchr(bytes, '\0', size);
  text.assign(bytes, nul ? static_cast<const char*>(nul) : bytes + size);
  return true;
}

}  // namespace

LicencePage::LicencePage() : ui::ProductDialog(IDD_LICENCE_PAGE, IDI_WIZARD) {}

void LicencePage::DoDataExchange(framework::DataExchange& exchange) {
  framework::ExchangeRadio(exchange, IDC_LICENCE_ACCEPT, acceptChoice);
  framework::ExchangeText(exchange, IDC_LICENCE_EDIT, licenceText);
}

BOOL LicencePage::OnInitDialog() {
  ui::ProductDialog::OnInitDialog();
  // Without the text the page still works: an empty edit, no choice made.
  if (!LoadLicenceText(licenceText)) return TRUE;
  UpdateData(false);
  // The dialog manager would give the edit the focus with all its text
  // selected, which scrolls the agreement to its last line. The reader
  // starts at the first line, with the caret there.
  HWND edit = Item(IDC_LICENCE_EDIT);
  ::SetFocus(edit);
  ::SendMessageA(edit, EM_SETSEL, 0, 0);
  return FALSE;
}

// The choice as the clicks left it decides; only then does the standard OK
// read the controls back.
void LicencePage::OnNext() {
  if (acceptChoice != 0) {
    MessageBox(framework::LoadResourceString(IDS_MUST_ACCEPT).c_str(),
               framework::LoadResourceString(IDS_INSTALL_CAPTION).c_str(),
               MB_OK | MB_ICONINFORMATION);
    return;
  }
  framework::Dialog::OnOK();
  auto target = std::make_unique<TargetPage>();
  target->DoModal();
}

}  // namespace install
