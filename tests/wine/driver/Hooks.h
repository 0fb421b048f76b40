// The driver's side of the hook DLL: hooks on the threads that own the
// windows it works, queries answered inside the target and the wait after
// a posted action.
#pragma once

#include <windows.h>

#include <map>
#include <vector>

#include "Handles.h"
#include "HookProtocol.h"

namespace uidriver {

class Hooks {
 public:
  Hooks();

  // Sends `query` to `window` (hooking its thread first) and returns it
  // with the hook's answer. Throws Failure when no hook answers; an answer
  // of kAnswerRefused is the caller's to judge.
  Query Ask(HWND window, const Query& query);

  // Throws Failure when the menu cannot be read.
  std::vector<MenuItemReport> ReadSystemMenu(HWND window);

  // Returns once the window's thread has taken every message posted to it
  // so far (and, one round later, those its handlers posted), or after
  // five seconds, or when the process ends.
  void Settle(HWND window, HANDLE process);

  // Also hooks the window's thread for text logs (WH_CALLWNDPROCRET), a
  // hook that runs after every message sent to the thread: only threads with
  // a log pay for it. Throws Failure when the hook is refused.
  void HookTexts(HWND window);

  // Drops the hooks of every thread, whose ids a new process may reuse.
  void Detach();

 private:
  struct ThreadHooks {
    UniqueHook callWndProc;
    UniqueHook callWndProcRet;  // only once HookTexts asked for it
    UniqueHook getMessage;
  };

  // The id of the window's thread once it is hooked, else 0.
  DWORD Attach(HWND window);

  UniqueLibrary dll_;
  UniqueHandle mapping_;
  UniqueHandle settled_;
  // A thread keeps its hooks until the next process starts, so that a text
  // log of one of its controls goes on while the script works a window of
  // another thread.
  std::map<DWORD, ThreadHooks> threads_;
};

}  // namespace uidriver
