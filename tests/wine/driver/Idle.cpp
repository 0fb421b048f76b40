// harness_idle READYFILE: the long-lived process of a harness session. It
// brings up the desktop (so that Wine's desktop and services start from a
// process whose output goes nowhere, not from a test's driver), writes its
// Windows process id into READYFILE, and waits until it is ended. While it
// lives, the wineserver and the services stay warm between the programs a
// test starts.
#include <windows.h>

#include "Handles.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  GetDesktopWindow();
  {
    const uidriver::UniqueHandle ready(uidriver::FromCreateFile(
        CreateFileA(commandLine, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)));
    char id[16];
    DWORD written = 0;
    const int length = wsprintfA(id, "%lu\n", GetCurrentProcessId());
    if (!ready || !WriteFile(ready.get(), id, length, &written, nullptr)) return 1;
  }
  Sleep(INFINITE);
  return 0;
}
