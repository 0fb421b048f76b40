// The state a script works on and the commands, grouped by what they touch.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Handles.h"
#include "Hooks.h"
#include "Script.h"

namespace uidriver {

struct Driver {
  std::string workDir;   // for the next start; empty: the driver's own
  UniqueHandle process;  // "the process"
  DWORD processId = 0;
  std::vector<UniqueHandle> earlier;  // processes started before it
  HWND window = nullptr;              // the current window
  Hooks hooks;
};

// Runs one command; throws Failure or ScriptError.
void Run(Driver& driver, const Command& command);

// The process and the current window; a script that has none is wrong.
HANDLE TheProcess(const Driver& driver);
HWND TheWindow(const Driver& driver);  // throws Failure when it is gone

// Ends every started process that still runs, returning how many it ended.
int EndStartedProcesses(Driver& driver);

// Process.cpp
void CdCommand(Driver& driver, const Command& command);
void EnvCommand(Driver& driver, const Command& command);
void StartCommand(Driver& driver, const Command& command);
void ExitCommand(Driver& driver, const Command& command);

// TopWindows.cpp
void WindowCommand(Driver& driver, const Command& command);
void GoneCommand(Driver& driver, const Command& command);
void MessageBoxCommand(Driver& driver, const Command& command);
HWND Control(const Driver& driver, const std::string& id);  // 0: the window itself
std::string WindowText(HWND window);

// Controls.cpp
void TextCommand(Driver& driver, const Command& command);
void VisibleCommand(Driver& driver, const Command& command);
void EnabledCommand(Driver& driver, const Command& command);
void CheckedCommand(Driver& driver, const Command& command);
void ProgressCommand(Driver& driver, const Command& command);
void RangeCommand(Driver& driver, const Command& command);
void ExistsCommand(Driver& driver, const Command& command);
void ClickCommand(Driver& driver, const Command& command);
void KeyCommand(Driver& driver, const Command& command);
void TypeCommand(Driver& driver, const Command& command);
void DumpCommand(Driver& driver, const Command& command);

// SystemMenu.cpp
void SysMenuCommand(Driver& driver, const Command& command);
void SysMenuHasCommand(Driver& driver, const Command& command);
void SysMenuEnabledCommand(Driver& driver, const Command& command);

// Registry.cpp
void RegValueCommand(Driver& driver, const Command& command);
void RegTextCommand(Driver& driver, const Command& command);
void NoRegKeyCommand(Driver& driver, const Command& command);
void NoRegValueCommand(Driver& driver, const Command& command);

// Screenshot.cpp
void ScreenshotCommand(Driver& driver, const Command& command);

}  // namespace uidriver
