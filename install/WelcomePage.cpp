#include "install/WelcomePage.h"

#include "res/resource.h"

namespace install {

WelcomePage::WelcomePage() : framework::Dialog(IDD_WELCOME_PAGE) {}

}  // namespace install
