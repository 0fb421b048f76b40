#include "install/WelcomePage.h"

#include <memory>

#include "framework/DataExchange.h"
#include "install/LicencePage.h"
#include "res/resource.h"
#include "ui/WindowLook.h"

namespace install {

WelcomePage::WelcomePage()
    : ui::ProductDialog(IDD_WELCOME_PAGE, IDI_WIZARD), titleFont_(ui::CreateTitleFont()) {}

void WelcomePage::DoDataExchange(framework::DataExchange& exchange) {
  framework::ExchangeControl(exchange, IDC_WELCOME_TITLE, titleLine_);
}

BOOL WelcomePage::OnInitDialog() {
  ui::ProductDialog::OnInitDialog();
  titleLine_.Send(WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.Get()), TRUE);
  return TRUE;
}

void WelcomePage::OnNext() {
  framework::Dialog::OnOK();
  auto licence = std::make_unique<LicencePage>();
  licence->DoModal();
}

}  // namespace install
