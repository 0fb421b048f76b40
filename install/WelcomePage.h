// The first page of the install wizard.
#pragma once

#include "framework/Dialog.h"

namespace install {

class WelcomePage : public framework::Dialog {
 public:
  WelcomePage();
};

}  // namespace install
