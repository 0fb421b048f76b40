// What every window of the installer shares: the product icon in its title
// bar, the About entry in its system menu, the icon drawn in a minimised
// window, and the heavy title font of the welcome page.
#pragma once

#include <windows.h>

#include "framework/Handles.h"

namespace ui {

// Icon resource `id` of the program; NULL when it is missing (then sent and
// drawn as it is).
HICON LoadWindowIcon(UINT id);

// Appends a separator and the About entry (string 101, command 16) to the
// window's system menu; nothing when the window has no system menu or the
// string is missing.
void AppendAboutEntry(HWND window);

// Gives the window its icon, large first, then small.
void SetWindowIcons(HWND window, HICON icon);

// True for the system command that the About entry sends.
inline bool IsAboutCommand(WPARAM command) { return (command & 0xFFF0) == 0x0010; }

// Paints a minimised window: its icon, centred in the client area. Returns
// false, having painted nothing, when the window is not minimised.
bool PaintMinimisedIcon(HWND window, HICON icon);

// The welcome page's title font: Arial, cell height 20, weight 956.
framework::ScopedGdiObject CreateTitleFont();

}  // namespace ui
