// The About box: product name, version and maker, and an OK button. OK,
// Escape and the close box end it.
#pragma once

#include "framework/Dialog.h"

namespace ui {

class AboutBox : public framework::Dialog {
 public:
  AboutBox();
};

}  // namespace ui
