#include "ui/WindowLook.h"

#include <string>

#include "framework/ResourceText.h"
#include "res/resource.h"

namespace ui {

HICON LoadWindowIcon(UINT id) {
  return ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
}

void AppendAboutEntry(HWND window) {
  HMENU menu = ::GetSystemMenu(window, FALSE);
  if (!menu) return;
  const std::string entry = framework::LoadResourceString(IDS_ABOUT_ENTRY);
  if (entry.empty()) return;
  ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuA(menu, MF_STRING, IDM_ABOUT, entry.c_str());
}

void SetWindowIcons(HWND window, HICON icon) {
  ::SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  ::SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

bool PaintMinimisedIcon(HWND window, HICON icon) {
  if (!::IsIconic(window)) return false;
  PAINTSTRUCT paint;
  HDC context = ::BeginPaint(window, &paint);
  ::SendMessageA(window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(context), 0);
  const int iconWidth = ::GetSystemMetrics(SM_CXICON);
  const int iconHeight = ::GetSystemMetrics(SM_CYICON);
  RECT client;
  ::GetClientRect(window, &client);
  // The +1 rounds an odd difference up.
  const int x = (client.right - client.left - iconWidth + 1) / 2;
  const int y = (client.bottom - client.top - iconHeight + 1) / 2;
  ::DrawIcon(context, x, y, icon);
  ::EndPaint(window, &paint);
  return true;
}

framework::ScopedGdiObject CreateTitleFont() {
  // Weight 956 is heavier than bold (700) and heavy (900) alike.
  return framework::ScopedGdiObject(::CreateFontA(20, 0, 0, 0, 956, FALSE, FALSE, FALSE,
                                                  ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                                  DEFAULT_PITCH | FF_SWISS, "Arial"));
}

}  // namespace ui
