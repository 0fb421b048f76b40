#include "app/SetupApp.h"

#include <windows.h>

#include "app/CommandLine.h"
#include "install/WelcomePage.h"
#include "uninstall/UninstallDialog.h"

namespace app {
namespace {

// Runs `dialog` as the main window; its destruction posts WM_QUIT, which
// the message loop takes at once. How the dialog ended does not matter:
// every ending of either mode leaves the program with exit code 0. A
// dialog that could not be created ends the program at once instead.
template <typename ModeDialog>
BOOL RunModeDialog(framework::Application& application) {
  ModeDialog dialog;
  return application.RunMainDialog(dialog) ? TRUE : FALSE;
}

}  // namespace

// No dialog hosts an ActiveX control, so no control container is set up.
BOOL SetupApp::InitInstance() {
  if (RequestsUninstall(CommandLine(), payload::IsLeadByte)) {
    return RunModeDialog<uninstall::UninstallDialog>(*this);
  }
  return RunModeDialog<install::WelcomePage>(*this);
}

}  // namespace app

// The one application object, alive from static initialisation to static
// destruction.
app::SetupApp setupApp;
