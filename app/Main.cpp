// The entry point of every program built on the framework (the installer
// and the test programs): the application object does the rest.
#include <windows.h>

#include "app/CommandLine.h"
#include "framework/Application.h"
#include "framework/Controls.h"
#include "framework/LibrarySearch.h"

// The C runtime's lpCmdLine is not used: the program's name is cut off here
// by rules of our own, which step over double-byte characters.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // First of all, before anything can load a library.
  framework::RestrictLibrarySearch();
  framework::RegisterCommonControls();
  framework::Application* application = framework::Application::Current();
  if (!application) return 0;
  application->SetCommandLine(app::SkipProgramName(::GetCommandLineA(), payload::IsLeadByte));
  if (application->InitInstance()) application->Run();
  return application->ExitInstance();
}
