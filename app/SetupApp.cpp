#include "app/SetupApp.h"

#include <windows.h>

#include "app/CommandLine.h"
#include "install/WelcomePage.h"
#include "uninstall/UninstallDialog.h"

namespace app {
namespace {

// Runs `dialog` as the main window; its destruction posts WM_QUIT, which
// the message loop takes at once. The run's result does not matter: every
// ending of either mode leaves the program with exit code 0.
template <typename ModeDialog>
void RunMainDialog(framework::Application& application) {
  ModeDialog dialog;
  application.SetMainWindow(&dialog);
  dialog.DoModal();
}

}  // namespace

// No dialog hosts an ActiveX control, so no control container is set up.
BOOL SetupApp::InitInstance() {
  if (RequestsUninstall(CommandLine(), payload::IsLeadByte)) {
    RunMainDialog<uninstall::UninstallDialog>(*this);
  } else {
    RunMainDialog<install::WelcomePage>(*this);
  }
  return TRUE;
}

}  // namespace app

// The one application object, alive from static initialisation to static
// destruction.
app::SetupApp setupApp;
