// What the driver and its hook DLL, loaded into the program under test,
// agree on: message names, object names and the layout of a query.
#pragma once

#include <windows.h>

namespace uidriver {

constexpr char kHookDllName[] = "uidriver_hook.dll";

// Sent to the window a query is about; wParam is the driver's process id.
// The hook reads the query from the mapping named kQueryMappingFormat and
// answers in place before the send returns. Only code inside the target
// can answer these under Wine 8: GetSystemMenu and MapDialogRect fail on
// another process's window, and WM_GETFONT and WM_GETICON sent from
// another process never arrive (the send fails).
constexpr char kQueryMessage[] = "ParvaneUiDriver.Query";
constexpr char kQueryMappingFormat[] = "ParvaneUiDriver.Query.%lu";

// Posted to a thread after an action; wParam is the driver's process id,
// lParam how many more times the hook posts it to the back of the queue
// before it sets the event named kSettledEventFormat.
constexpr char kSettleMessage[] = "ParvaneUiDriver.Settle";
constexpr char kSettledEventFormat[] = "ParvaneUiDriver.Settled.%lu";

enum : DWORD {
  kQuerySystemMenu = 1,   // the window's system menu
  kQueryFont = 2,         // WM_GETFONT, read with GetObjectW
  kQueryDialogUnits = 3,  // MapDialogRect of `units` on the window
  kQueryIcon = 4,         // WM_GETICON with `iconType`
  kQueryTextLog = 5,      // (re)start log number `textLog` of the window's texts
  kQueryDpiChanged = 6,   // WM_DPICHANGED to `dpi`, the window's own rectangle suggested
};

enum : DWORD { kAnswerNone = 0, kAnswerGiven = 1, kAnswerRefused = 2 };

struct MenuItemReport {
  UINT id;
  UINT state;      // GetMenuState: MF_SEPARATOR, MF_GRAYED, MF_DISABLED, ...
  wchar_t text[256];  // GetMenuStringW, "-" for a separator
};

struct Query {
  // Written by the driver.
  DWORD kind;
  RECT units;       // kQueryDialogUnits: dialog units, mapped coordinate by coordinate
  WPARAM iconType;  // kQueryIcon: ICON_BIG or ICON_SMALL
  DWORD textLog;    // kQueryTextLog: which of TextLogs::logs
  UINT dpi;         // kQueryDpiChanged: the DPI the window is told it now has

  // Written by the hook. kAnswerRefused: no system menu (kQuerySystemMenu),
  // not a dialog (kQueryDialogUnits).
  DWORD answer;
  DWORD menuCount;
  MenuItemReport menu[64];
  LOGFONTW font;
  BOOL systemFont;  // WM_GETFONT gave NULL: the control draws with SYSTEM_FONT
  RECT pixels;      // `units` mapped
  SIZE baseUnits;   // what 4 x 8 dialog units map to
  BOOL hasIcon;
};

// What a status line of the program sends its control with each text it is
// given, lParam the text (framework/Controls.h): the control itself learns
// the latest only when it paints or is asked.
constexpr char kStatusTextMessage[] = "Parvane.StatusText";

// Every text a window is given: after each WM_SETTEXT the WH_CALLWNDPROCRET
// hook reads the window's text back (HookTextLog.h says why) into a mapping
// that the driver creates, named with its process id, so that the log
// outlives the window and its process. The hook maps it on kQueryTextLog
// and keeps it mapped: recording a text costs a WM_GETTEXT and a copy.
// Each log has one writer, the thread that owns its window, which is also
// the thread that (re)starts it; the driver only reads.
constexpr char kTextLogMappingFormat[] = "ParvaneUiDriver.TextLog.%lu";
constexpr DWORD kTextLogs = 8;             // windows recorded at once
constexpr DWORD kTextLogEntries = 512;     // texts per window
constexpr DWORD kTextLogTextBytes = 1024;  // bytes of UTF-8 kept of one text

struct TextLogEntry {
  DWORD size;  // above kTextLogTextBytes: a longer text, of which that many are kept
  char text[kTextLogTextBytes];
};

struct TextLog {
  HWND window;          // the window recorded, nullptr for none
  volatile LONG count;  // entries complete, raised after each is written
  volatile LONG lost;   // texts that came when every entry was taken
  TextLogEntry entries[kTextLogEntries];
};

struct TextLogs {
  TextLog logs[kTextLogs];
};

}  // namespace uidriver
