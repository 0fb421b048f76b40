#include "Hooks.h"

#include <cstring>

#include "Errors.h"
#include "Text.h"

namespace uidriver {
namespace {

constexpr DWORD kAnswerMs = 5000;

std::string NameFor(const char* format) {
  char name[64];
  wsprintfA(name, format, GetCurrentProcessId());
  return name;
}

// The hook DLL lives beside the driver.
std::string HookDllPath() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder = path;
  folder.erase(folder.find_last_of('\\') + 1);
  return folder + kHookDllName;
}

HOOKPROC HookProc(HMODULE dll, const char* name) {
  return reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

}  // namespace

Hooks::Hooks()
    : dll_(LoadLibraryA(HookDllPath().c_str())),
      mapping_(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Query),
                                  NameFor(kQueryMappingFormat).c_str())),
      settled_(CreateEventA(nullptr, FALSE, FALSE, NameFor(kSettledEventFormat).c_str())) {}

void Hooks::Detach() { threads_.clear(); }

DWORD Hooks::Attach(HWND window) {
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  if (!dll_ || thread == 0) return 0;
  if (threads_.count(thread)) return thread;
  const HOOKPROC callWndProc = HookProc(dll_.get(), "CallWndProcHook");
  const HOOKPROC getMessage = HookProc(dll_.get(), "GetMessageHook");
  if (!callWndProc || !getMessage) return 0;
  ThreadHooks hooks{UniqueHook(SetWindowsHookExA(WH_CALLWNDPROC, callWndProc, dll_.get(), thread)),
                    nullptr,
                    UniqueHook(SetWindowsHookExA(WH_GETMESSAGE, getMessage, dll_.get(), thread))};
  if (!hooks.callWndProc || !hooks.getMessage) return 0;
  threads_.emplace(thread, std::move(hooks));
  return thread;
}

void Hooks::HookTexts(HWND window) {
  const DWORD thread = Attach(window);
  const HOOKPROC callWndProcRet = dll_ ? HookProc(dll_.get(), "CallWndProcRetHook") : nullptr;
  if (thread == 0 || !callWndProcRet) {
    throw Failure{"hooks in the window's thread",
                  "none: " + HookDllPath() + " not loaded or refused"};
  }
  UniqueHook& hook = threads_[thread].callWndProcRet;
  if (!hook) hook.reset(SetWindowsHookExA(WH_CALLWNDPROCRET, callWndProcRet, dll_.get(), thread));
  if (!hook) throw Failure{"a WH_CALLWNDPROCRET hook", "error " + std::to_string(GetLastError())};
}

Query Hooks::Ask(HWND window, const Query& query) {
  if (!mapping_ || !Attach(window)) {
    throw Failure{"a hook in the window's thread",
                  "none: " + HookDllPath() + " not loaded or refused"};
  }
  const UniqueView view(MapViewOfFile(mapping_.get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Query)));
  if (!view) {
    throw Failure{"a view of the query mapping", "error " + std::to_string(GetLastError())};
  }
  auto* shared = static_cast<Query*>(view.get());
  std::memset(shared, 0, sizeof *shared);
  shared->kind = query.kind;
  shared->units = query.units;
  shared->iconType = query.iconType;
  shared->textLog = query.textLog;
  shared->dpi = query.dpi;
  DWORD_PTR ignored = 0;
  if (!SendMessageTimeoutA(window, RegisterWindowMessageA(kQueryMessage), GetCurrentProcessId(), 0,
                           SMTO_ABORTIFHUNG, kAnswerMs, &ignored)) {
    throw Failure{"an answer from the hook", "none within 5 s"};
  }
  if (shared->answer == kAnswerNone) {
    throw Failure{"an answer from the hook", "none: the hook did not run in the target"};
  }
  return *shared;
}

std::vector<MenuItemReport> Hooks::ReadSystemMenu(HWND window) {
  Query query{};
  query.kind = kQuerySystemMenu;
  const Query answer = Ask(window, query);
  if (answer.answer == kAnswerRefused) throw Failure{"a system menu", "none"};
  return std::vector<MenuItemReport>(answer.menu, answer.menu + answer.menuCount);
}

void Hooks::Settle(HWND window, HANDLE process) {
  const DWORD thread = settled_ ? Attach(window) : 0;
  if (thread == 0) {
    Sleep(100);  // the best there is without the hook
    return;
  }
  ResetEvent(settled_.get());
  PostThreadMessageA(thread, RegisterWindowMessageA(kSettleMessage), GetCurrentProcessId(), 1);
  const HANDLE waits[] = {settled_.get(), process};
  if (WaitForMultipleObjects(2, waits, FALSE, kAnswerMs) == WAIT_TIMEOUT) {
    PrintLine("note: the window's thread is still busy after 5 s");
  }
}

}  // namespace uidriver
