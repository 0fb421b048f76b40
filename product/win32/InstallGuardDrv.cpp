// Stand-in for the product's guard helper that the installer starts: it
// shows nothing and only records how it was started.
#include <windows.h>

#include "product/win32/StandinLog.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  AppendStandinLine({"InstallGuardDrv.exe", GetCommandLineA()});
  return 0;
}
