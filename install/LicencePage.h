// The licence page: the agreement, and the choice to accept or decline it.
// Next goes on to the target page only after "accept" was clicked.
#pragma once

#include <string>

#include "res/resource.h"
#include "ui/ProductDialog.h"

namespace install {

class LicencePage : public ui::ProductDialog {
 public:
  LicencePage();

  // -1 until a radio button is clicked, then 0 for accept, 1 for decline.
  int acceptChoice = -1;
  std::string licenceText;

 protected:
  void DoDataExchange(framework::DataExchange& exchange) override;
  BOOL OnInitDialog() override;

  BEGIN_MESSAGE_MAP(LicencePage, ui::ProductDialog)
    ON_COMMAND(IDC_LICENCE_ACCEPT, OnAccept)
    ON_COMMAND(IDC_LICENCE_DECLINE, OnDecline)
    ON_COMMAND(IDOK, OnNext)
  END_MESSAGE_MAP()

 private:
  void OnAccept() { acceptChoice = 0; }
  void OnDecline() { acceptChoice = 1; }
  void OnNext();
};

}  // namespace install
