// The state a script works on and the commands, grouped by what they touch.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "Handles.h"
#include "Hooks.h"
#include "Script.h"
#include "TextLogStore.h"
#include "TimedRead.h"
#include "WatchRecord.h"

namespace uidriver {

struct Driver {
  std::string workDir;   // for the next start; empty: the driver's own
  UniqueHandle process;  // "the process"
  DWORD processId = 0;
  std::vector<UniqueHandle> earlier;  // processes started before it
  HWND window = nullptr;              // the current window
  Hooks hooks;
  std::optional<WatchRecord> lastWatch;  // what the last `watch` saw
  TextLogStore textLogs;                 // `textlog` of the process
  std::optional<Stopwatch> stopwatch;    // since the last `stopwatch start`
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
// "the process ended with exit code N" once it has ended (waiting up to
// waitMs for that), otherwise empty.
std::string EndedText(HANDLE process, DWORD waitMs = 0);

// TopWindows.cpp
void WindowCommand(Driver& driver, const Command& command);
void GoneCommand(Driver& driver, const Command& command);
void MessageBoxCommand(Driver& driver, const Command& command);
void MessageBoxBeginsCommand(Driver& driver, const Command& command);
HWND Control(const Driver& driver, const std::string& id);  // 0: the window itself
std::string WindowText(HWND window);
// A top-level window's caption, which is read without asking the window.
std::string Caption(HWND window);
// A visible top-level window of the process with exactly that caption, of
// any class; NULL when there is none.
HWND FindTopWindow(DWORD processId, const std::string& caption);
// What a failed search saw instead: the process's visible top-level windows.
std::string WindowsOf(DWORD processId);
// For failure messages: a control as `id N CLASS "TEXT"`, a top-level
// window as `CLASS "CAPTION"`.
std::string Describe(HWND window);

// Controls.cpp
HWND TheControl(const Driver& driver, const std::string& id);       // throws Failure when missing
LRESULT AskControl(HWND control, UINT message, WPARAM wParam = 0);  // sent; only reads
void ExpectWindowEnabled(HWND window);
void ExpectPressable(const Driver& driver, HWND control);
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
void LineCountCommand(Driver& driver, const Command& command);
void FirstLineCommand(Driver& driver, const Command& command);
void FirstLineAboveCommand(Driver& driver, const Command& command);
void LineCountAboveCommand(Driver& driver, const Command& command);

// Input.cpp
void SysCommandCommand(Driver& driver, const Command& command);
void KeysCommand(Driver& driver, const Command& command);
void MnemonicCommand(Driver& driver, const Command& command);
void ScrollCommand(Driver& driver, const Command& command);
void FocusCommand(Driver& driver, const Command& command);

// Appearance.cpp
void IconCommand(Driver& driver, const Command& command);
void FontCommand(Driver& driver, const Command& command);
void FontNotCommand(Driver& driver, const Command& command);
void StyleCommand(Driver& driver, const Command& command);
void ExStyleCommand(Driver& driver, const Command& command);
void NoStyleCommand(Driver& driver, const Command& command);

// Geometry.cpp
void DialogRectCommand(Driver& driver, const Command& command);
void DialogSizeCommand(Driver& driver, const Command& command);
void DpiChangedCommand(Driver& driver, const Command& command);
void ClientSizeCommand(Driver& driver, const Command& command);
void CentredOverCommand(Driver& driver, const Command& command);
void CentredScreenCommand(Driver& driver, const Command& command);
void OwnerCommand(Driver& driver, const Command& command);

// SystemMenu.cpp
void SysMenuCommand(Driver& driver, const Command& command);
void SysMenuHasCommand(Driver& driver, const Command& command);
void SysMenuEnabledCommand(Driver& driver, const Command& command);

// Registry.cpp
void RegValueCommand(Driver& driver, const Command& command);
void RegTextCommand(Driver& driver, const Command& command);
void NoRegKeyCommand(Driver& driver, const Command& command);
void NoRegValueCommand(Driver& driver, const Command& command);

// WaitText.cpp
void WaitTextCommand(Driver& driver, const Command& command);

// Watch.cpp
void WatchCommand(Driver& driver, const Command& command);
void WatchSawTextCommand(Driver& driver, const Command& command);
void WatchReadsAboveCommand(Driver& driver, const Command& command);
void WatchProgressAboveCommand(Driver& driver, const Command& command);

// TextLog.cpp
void TextLogCommand(Driver& driver, const Command& command);
void TextLogIsCommand(Driver& driver, const Command& command);
void TextLogHasCommand(Driver& driver, const Command& command);
void TextLogPrintCommand(Driver& driver, const Command& command);

// Screenshot.cpp
void ScreenshotCommand(Driver& driver, const Command& command);

// StopwatchCommand.cpp
void StopwatchCommand(Driver& driver, const Command& command);

}  // namespace uidriver
