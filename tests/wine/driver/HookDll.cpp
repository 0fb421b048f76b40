// Loaded into the program under test by the driver's hooks: reads what only
// the owning process can read (GetSystemMenu returns NULL for another
// process's window under Wine) and reports when the thread has worked
// through the messages the driver posted.
#include <windows.h>

#include "Handles.h"
#include "HookProtocol.h"

namespace uidriver {
namespace {

void ReportSystemMenu(HWND window, DWORD driverId) {
  char name[64];
  wsprintfA(name, kMenuMappingFormat, driverId);
  UniqueHandle mapping(OpenFileMappingA(FILE_MAP_WRITE, FALSE, name));
  if (!mapping) return;
  UniqueView view(MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, sizeof(MenuReport)));
  if (!view) return;
  auto* report = static_cast<MenuReport*>(view.get());
  const HMENU menu = GetSystemMenu(window, FALSE);
  if (!menu) {
    report->result = kReportNoMenu;
    return;
  }
  const int count = GetMenuItemCount(menu);
  report->count = 0;
  for (int i = 0; i < count && report->count < ARRAYSIZE(report->items); ++i) {
    MenuItemReport& item = report->items[report->count++];
    item.state = GetMenuState(menu, i, MF_BYPOSITION);
    item.id = GetMenuItemID(menu, i);
    if (item.state & MF_SEPARATOR) {
      lstrcpyA(item.text, "-");
    } else if (!GetMenuStringA(menu, i, item.text, sizeof item.text, MF_BYPOSITION)) {
      item.text[0] = '\0';
    }
  }
  report->result = kReportMenu;
}

void ReportSettled(DWORD driverId) {
  char name[64];
  wsprintfA(name, kSettledEventFormat, driverId);
  UniqueHandle event(OpenEventA(EVENT_MODIFY_STATE, FALSE, name));
  if (event) SetEvent(event.get());
}

}  // namespace
}  // namespace uidriver

extern "C" __declspec(dllexport) LRESULT CALLBACK
    CallWndProcHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (message->message == RegisterWindowMessageA(uidriver::kSysMenuMessage)) {
      uidriver::ReportSystemMenu(message->hwnd, static_cast<DWORD>(message->wParam));
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK
    GetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  auto* message = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE &&
      message->message == RegisterWindowMessageA(uidriver::kSettleMessage)) {
    // Another round lets messages that the action itself posted go first.
    if (message->lParam > 0) {
      PostThreadMessageA(GetCurrentThreadId(), message->message, message->wParam,
                         message->lParam - 1);
    } else {
      uidriver::ReportSettled(static_cast<DWORD>(message->wParam));
    }
    message->message = WM_NULL;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
