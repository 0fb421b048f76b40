// The installer's application object: picks install or uninstall mode from
// the command line and runs that mode's dialog as the main window.
#pragma once

#include "framework/Application.h"

namespace app {

class SetupApp : public framework::Application {
 public:
  BOOL InitInstance() override;
};

}  // namespace app
