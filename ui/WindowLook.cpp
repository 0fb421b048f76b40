#include "ui/WindowLook.h"

#include <string>

#include "framework/ResourceText.h"
#include "framework/ScreenText.h"
#include "res/resource.h"

namespace ui {

namespace {

// Functions of newer systems, looked up so that the program still starts
// where they are missing.
template <typename Function>
Function User32Function(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), name)));
}

int SystemMetricForDpi(int index, UINT dpi) {
  using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
  const auto forDpi =
      User32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
  return forDpi ? forDpi(index, dpi) : ::GetSystemMetrics(index);
}

framework::ScopedIcon LoadIconOfSize(UINT id, int size) {
  return framework::ScopedIcon(static_cast<HICON>(::LoadImageA(
      ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0)));
}

}  // namespace

UINT WindowDpi(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  const auto forWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
  if (forWindow) {
    const UINT dpi = forWindow(window);
    if (dpi != 0) return dpi;
  }
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

WindowIcons LoadWindowIcons(UINT id, UINT dpi) {
  WindowIcons icons;
  icons.big = LoadIconOfSize(id, SystemMetricForDpi(SM_CXICON, dpi));
  icons.small = LoadIconOfSize(id, SystemMetricForDpi(SM_CXSMICON, dpi));
  return icons;
}

void AppendAboutEntry(HWND window) {
  HMENU menu = ::GetSystemMenu(window, FALSE);
  if (!menu) return;
  const std::string entry = framework::LoadResourceString(IDS_ABOUT_ENTRY);
  if (entry.empty()) return;
  ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(menu, MF_STRING, IDM_ABOUT, framework::ScreenText(entry).c_str());
}

void SetWindowIcons(HWND window, const WindowIcons& icons) {
  ::SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons.big.Get()));
  ::SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons.small.Get()));
}

bool PaintMinimisedIcon(HWND window, HICON icon) {
  if (!::IsIconic(window)) return false;
  PAINTSTRUCT paint;
  HDC context = ::BeginPaint(window, &paint);
  ::SendMessageA(window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(context), 0);
  const UINT dpi = WindowDpi(window);
  const int iconWidth = SystemMetricForDpi(SM_CXICON, dpi);
  const int iconHeight = SystemMetricForDpi(SM_CYICON, dpi);
  RECT client;
  ::GetClientRect(window, &client);
  // The +1 rounds an odd difference up.
  const int x = (client.right - client.left - iconWidth + 1) / 2;
  const int y = (client.bottom - client.top - iconHeight + 1) / 2;
  ::DrawIcon(context, x, y, icon);
  ::EndPaint(window, &paint);
  return true;
}

framework::ScopedGdiObject CreateTitleFont(UINT dpi) {
  // Weight 956 is heavier than bold (700) and heavy (900) alike.
  return framework::ScopedGdiObject(::CreateFontA(ScaledForDpi(20, dpi), 0, 0, 0, 956, FALSE,
                                                  FALSE, FALSE,
                                                  ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                                  DEFAULT_PITCH | FF_SWISS, "Arial"));
}

}  // namespace ui
