#include "framework/Application.h"

#include "framework/Dialog.h"

namespace framework {
namespace {

Application* currentApplication = nullptr;

}  // namespace

Application::Application() { currentApplication = this; }

Application::~Application() {
  if (currentApplication == this) currentApplication = nullptr;
}

Application* Application::Current() { return currentApplication; }

bool Application::RunMainDialog(Dialog& dialog) {
  SetMainWindow(&dialog);
  if (dialog.DoModal() != -1) return true;
  SetMainWindow(nullptr);
  exitCode_ = kExitNoMainWindow;
  return false;
}

void Application::Run() {
  MSG message;
  // GetMessage returns 0 for WM_QUIT and -1 on a failure, which ends the
  // loop too rather than spinning on it.
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  if (message.message == WM_QUIT) exitCode_ = static_cast<int>(message.wParam);
}

}  // namespace framework
