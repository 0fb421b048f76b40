// The first page of the install wizard. Its Next runs the licence page from
// inside the handler, so the whole wizard has ended when this page's modal
// run returns.
#pragma once

#include "framework/Controls.h"
#include "framework/Handles.h"
#include "res/resource.h"
#include "ui/ProductDialog.h"

namespace install {

class WelcomePage : public ui::ProductDialog {
 public:
  WelcomePage();

 protected:
  void DoDataExchange(framework::DataExchange& exchange) override;
  // The title font at the window's DPI.
  void ApplyDpi(UINT dpi) override;

  BEGIN_MESSAGE_MAP(WelcomePage, ui::ProductDialog)
    ON_COMMAND(IDOK, OnNext)
  END_MESSAGE_MAP()

 private:
  void OnNext();

  framework::Control titleLine_;
  // Made when the page opens and again when its DPI changes; deleted with
  // the page, after its window is gone.
  framework::ScopedGdiObject titleFont_;
};

}  // namespace install
