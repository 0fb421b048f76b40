// The three shortcuts to the product's program: in a "Parvane" folder of
// the all-users Start menu, on the all-users desktop, and in the installing
// user's Quick Launch bar.
#pragma once

#include <windows.h>

#include <string>

namespace install {

// Writes the three shortcuts to "<installFolder>Parvane.exe", each on its
// own; one that fails does not stop the others. `owner` owns the shell's
// folder queries. Returns 1.
int CreateShortcuts(HWND owner, const std::string& installFolder);

// Deletes the three shortcut files; the Start-menu folder stays. Returns 1.
int DeleteShortcuts(HWND owner);

}  // namespace install
