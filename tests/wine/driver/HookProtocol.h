// What the driver and its hook DLL, loaded into the program under test,
// agree on: message names, object names and the system-menu report.
#pragma once

#include <windows.h>

namespace uidriver {

constexpr char kHookDllName[] = "uidriver_hook.dll";

// Sent to a window; wParam is the driver's process id. The hook answers by
// filling the mapping named kMenuMappingFormat with the window's system menu.
constexpr char kSysMenuMessage[] = "ParvaneUiDriver.SysMenu";
constexpr char kMenuMappingFormat[] = "ParvaneUiDriver.SysMenu.%lu";

// Posted to a thread after an action; wParam is the driver's process id,
// lParam how many more times the hook posts it to the back of the queue
// before it sets the event named kSettledEventFormat.
constexpr char kSettleMessage[] = "ParvaneUiDriver.Settle";
constexpr char kSettledEventFormat[] = "ParvaneUiDriver.Settled.%lu";

struct MenuItemReport {
  UINT id;
  UINT state;      // GetMenuState: MF_SEPARATOR, MF_GRAYED, MF_DISABLED, ...
  char text[256];  // GetMenuStringA, "-" for a separator
};

enum : DWORD { kReportEmpty = 0, kReportMenu = 1, kReportNoMenu = 2 };

struct MenuReport {
  DWORD result;
  DWORD count;
  MenuItemReport items[64];
};

}  // namespace uidriver
