// The one dialog of uninstall mode.
#pragma once

#include "framework/Dialog.h"

namespace uninstall {

class UninstallDialog : public framework::Dialog {
 public:
  UninstallDialog();
};

}  // namespace uninstall
