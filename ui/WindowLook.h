// What every window of the installer shares: the product icon in its title
// bar, the About entry in its system menu, the icon drawn in a minimised
// window, and the heavy title font of the welcome page.
#pragma once

#include <windows.h>

#include "framework/Handles.h"

namespace ui {

// The dots per inch the window is shown at: its monitor's on systems that
// scale each monitor, the system's otherwise (96 at 100 %).
UINT WindowDpi(HWND window);

// `pixels` at 96 DPI, at `dpi`.
inline int ScaledForDpi(int pixels, UINT dpi) { return ::MulDiv(pixels, static_cast<int>(dpi), 96); }

// The two icons of a window at a DPI, each the image of icon resource `id`
// nearest the size the system asks for there; NULL when the resource is
// missing (then sent and drawn as it is).
struct WindowIcons {
  framework::ScopedIcon big;
  framework::ScopedIcon small;
};
WindowIcons LoadWindowIcons(UINT id, UINT dpi);

// Appends a separator and the About entry (string 101, command 16) to the
// window's system menu; nothing when the window has no system menu or the
// string is missing.
void AppendAboutEntry(HWND window);

// Gives the window its icons, large first, then small.
void SetWindowIcons(HWND window, const WindowIcons& icons);

// True for the system command that the About entry sends.
inline bool IsAboutCommand(WPARAM command) { return (command & 0xFFF0) == 0x0010; }

// Paints a minimised window: its icon, centred in the client area. Returns
// false, having painted nothing, when the window is not minimised.
bool PaintMinimisedIcon(HWND window, HICON icon);

// The welcome page's title font: Arial, cell height 20 at 96 DPI and as
// much larger as the DPI is (30 at 144, 40 at 192), weight 956.
framework::ScopedGdiObject CreateTitleFont(UINT dpi);

}  // namespace ui
