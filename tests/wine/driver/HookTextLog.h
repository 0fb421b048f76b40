// The hook's half of the text logs (HookProtocol.h): the driver's mapping,
// mapped once per target process, and the append that follows every
// WM_SETTEXT a hooked thread's window procedures have handled.
#pragma once

#include <windows.h>

namespace uidriver {

// Maps the log mapping of the driver `driverId` (unless it is mapped
// already) and starts its log `index` afresh for `window`. Runs in the
// thread that owns `window`, so that log's only writer. False when the
// mapping cannot be mapped or the index is out of range.
bool StartTextLog(DWORD driverId, DWORD index, HWND window);

// After `window` has handled WM_SETTEXT: appends the text it now holds to
// every log of it. The text is read back rather than taken from lParam:
// under Wine 8 a WM_SETTEXT sent from another process reaches the hooks
// with the sender's pointer, and nothing tells an ANSI text from a wide
// one. Runs in the window's thread.
void RecordText(HWND window);

// When a status line announces `text` to its control `window`: appends it
// as given, without asking the control, which would take it at once.
void RecordGivenText(HWND window, const wchar_t* text);

// After a progress bar `window` has handled PBM_SETPOS: appends the
// position it now holds, in decimal, to every log of it, so a log shows
// the positions a busy handler sets between two reads from outside.
void RecordPosition(HWND window);

}  // namespace uidriver
