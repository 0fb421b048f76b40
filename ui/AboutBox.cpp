#include "ui/AboutBox.h"

#include "res/resource.h"

namespace ui {

AboutBox::AboutBox() : framework::Dialog(IDD_ABOUT_BOX) {}

}  // namespace ui
