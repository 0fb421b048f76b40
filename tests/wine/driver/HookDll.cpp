// Loaded into the program under test by the driver's hooks: reads what only
// the owning process can read (see HookProtocol.h) and reports when the
// thread has worked through the messages the driver posted, and records
// the texts its windows are given (HookTextLog.h).
#include <windows.h>
#include <commctrl.h>

#include "Handles.h"
#include "HookProtocol.h"
#include "HookTextLog.h"

namespace uidriver {
namespace {

void AnswerSystemMenu(HWND window, Query& query) {
  const HMENU menu = GetSystemMenu(window, FALSE);
  if (!menu) {
    query.answer = kAnswerRefused;
    return;
  }
  const int count = GetMenuItemCount(menu);
  query.menuCount = 0;
  for (int i = 0; i < count && query.menuCount < ARRAYSIZE(query.menu); ++i) {
    MenuItemReport& item = query.menu[query.menuCount++];
    item.state = GetMenuState(menu, i, MF_BYPOSITION);
    item.id = GetMenuItemID(menu, i);
    if (item.state & MF_SEPARATOR) {
      lstrcpyW(item.text, L"-");
    } else if (!GetMenuStringW(menu, i, item.text, ARRAYSIZE(item.text), MF_BYPOSITION)) {
      item.text[0] = '\0';
    }
  }
  query.answer = kAnswerGiven;
}

void AnswerFont(HWND window, Query& query) {
  HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(window, WM_GETFONT, 0, 0));
  query.systemFont = font == nullptr;
  if (!font) font = GetStockObject(SYSTEM_FONT);
  query.answer = GetObjectW(font, sizeof query.font, &query.font) ? kAnswerGiven : kAnswerRefused;
}

void AnswerDialogUnits(HWND window, Query& query) {
  RECT base{0, 0, 4, 8};
  query.pixels = query.units;
  if (!MapDialogRect(window, &query.pixels) || !MapDialogRect(window, &base)) {
    query.answer = kAnswerRefused;
    return;
  }
  query.baseUnits = SIZE{base.right, base.bottom};
  query.answer = kAnswerGiven;
}

void Answer(HWND window, DWORD driverId) {
  char name[64];
  wsprintfA(name, kQueryMappingFormat, driverId);
  UniqueHandle mapping(OpenFileMappingA(FILE_MAP_WRITE, FALSE, name));
  if (!mapping) return;
  UniqueView view(MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, sizeof(Query)));
  if (!view) return;
  auto& query = *static_cast<Query*>(view.get());
  switch (query.kind) {
    case kQuerySystemMenu:
      AnswerSystemMenu(window, query);
      break;
    case kQueryFont:
      AnswerFont(window, query);
      break;
    case kQueryDialogUnits:
      AnswerDialogUnits(window, query);
      break;
    case kQueryIcon:
      query.hasIcon = SendMessageA(window, WM_GETICON, query.iconType, 0) != 0;
      query.answer = kAnswerGiven;
      break;
    case kQueryTextLog:
      query.answer = StartTextLog(driverId, query.textLog, window) ? kAnswerGiven : kAnswerRefused;
      break;
    case kQueryDpiChanged: {
      // What Windows sends when the window moves to a monitor of that DPI;
      // the suggested rectangle is where it is, so it stays there.
      RECT where{};
      GetWindowRect(window, &where);
      SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(query.dpi, query.dpi),
                   reinterpret_cast<LPARAM>(&where));
      query.answer = kAnswerGiven;
      break;
    }
  }
}

// The hooks see every message of the thread: the names are registered on
// the first, not looked up again on each.
UINT queryMessage = 0;
UINT settleMessage = 0;
UINT statusTextMessage = 0;

UINT Registered(UINT& message, const char* name) {
  if (message == 0) message = RegisterWindowMessageA(name);
  return message;
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
    if (message->message == uidriver::Registered(uidriver::queryMessage, uidriver::kQueryMessage)) {
      uidriver::Answer(message->hwnd, static_cast<DWORD>(message->wParam));
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK
    CallWndProcRetHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* handled = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (handled->message == WM_SETTEXT) uidriver::RecordText(handled->hwnd);
    if (handled->message ==
        uidriver::Registered(uidriver::statusTextMessage, uidriver::kStatusTextMessage)) {
      uidriver::RecordGivenText(handled->hwnd, reinterpret_cast<const wchar_t*>(handled->lParam));
    }
    if (handled->message == PBM_SETPOS) uidriver::RecordPosition(handled->hwnd);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK
    GetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  auto* message = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE &&
      message->message == uidriver::Registered(uidriver::settleMessage, uidriver::kSettleMessage)) {
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
