// Imports the common controls by name, as the installer does, but without
// the installer's manifest: the loader then resolves comctl32.dll along the
// search path, which starts with the program's own folder, before any code
// of the program runs.
#include <windows.h>
#include <commctrl.h>

int main() {
  ::InitCommonControls();
  return 0;
}
