// The driver's side of the hook DLL: hooks on the thread that owns a
// window, queries answered inside the target and the wait after a posted
// action.
#pragma once

#include <windows.h>

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

  // Drops the hooks of the last thread, whose id a new process may reuse.
  void Detach();

 private:
  bool Attach(HWND window);

  UniqueLibrary dll_;
  UniqueHandle mapping_;
  UniqueHandle settled_;
  DWORD thread_ = 0;
  UniqueHook callWndProc_;
  UniqueHook getMessage_;
};

}  // namespace uidriver
