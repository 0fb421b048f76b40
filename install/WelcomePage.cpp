#include "install/WelcomePage.h"

#include <memory>
#include <utility>

#include "framework/DataExchange.h"
#include "install/LicencePage.h"
#include "res/resource.h"
#include "ui/WindowLook.h"

namespace install {

WelcomePage::WelcomePage() : ui::ProductDialog(IDD_WELCOME_PAGE, IDI_WIZARD) {}

void WelcomePage::DoDataExchange(framework::DataExchange& exchange) {
  framework::ExchangeControl(exchange, IDC_WELCOME_TITLE, titleLine_);
}

// The old font stays alive until the control has the new one.
void WelcomePage::ApplyDpi(UINT dpi) {
  framework::ScopedGdiObject font = ui::CreateTitleFont(dpi);
  titleLine_.Send(WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
  titleFont_ = std::move(font);
}

void WelcomePage::OnNext() {
  framework::Dialog::OnOK();
  auto licence = std::make_unique<LicencePage>();
  licence->DoModal();
}

}  // namespace install
