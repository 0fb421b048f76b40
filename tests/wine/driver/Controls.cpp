// Checks of and actions on the controls of the current window.
#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "Driver.h"
#include "Errors.h"
#include "Text.h"

namespace uidriver {
namespace {

void Expect(const std::string& expected, const std::string& saw) {
  if (saw != expected) throw Failure{expected, saw};
}

void ExpectFlag(const Command& command, const char* what, bool saw) {
  const bool expected = ParseFlag(command.args[1]);
  if (saw != expected) {
    throw Failure{std::string(expected ? "" : "not ") + what,
                  std::string(saw ? "" : "not ") + what};
  }
}

// An edit's answer to `message` is greater than the bound in args[1].
void ExpectAbove(const Driver& driver, const Command& command, UINT message, const char* what) {
  const HWND control = TheControl(driver, command.args[0]);
  const long long bound = ParseNumber(command.args[1]);
  const LRESULT saw = AskControl(control, message);
  if (saw <= bound) {
    throw Failure{std::string("a ") + what + " above " + std::to_string(bound),
                  what + (" " + std::to_string(saw))};
  }
}

int Depth(HWND child, HWND top) {
  int depth = 0;
  for (HWND parent = GetParent(child); parent && parent != top; parent = GetParent(parent)) {
    ++depth;
  }
  return depth;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

}  // namespace

HWND TheControl(const Driver& driver, const std::string& id) {
  const HWND control = Control(driver, id);
  if (!control) throw Failure{"a control with id " + id, "none"};
  return control;
}

// Sent, never posted: these only read, so the answer comes at once.
LRESULT AskControl(HWND control, UINT message, WPARAM wParam) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(control, message, wParam, 0, SMTO_ABORTIFHUNG, 5000, &answer)) {
    throw Failure{"an answer to message " + std::to_string(message), "none within 5 s"};
  }
  return static_cast<LRESULT>(answer);
}

void ExpectWindowEnabled(HWND window) {
  if (!IsWindowEnabled(window)) {
    throw Failure{"an enabled window", "the window is disabled (is a modal box open?)"};
  }
}

// A user cannot press what is hidden or disabled, nor anything in a window
// that a modal box has disabled.
void ExpectPressable(const Driver& driver, HWND control) {
  ExpectWindowEnabled(TheWindow(driver));
  if (!IsWindowVisible(control)) throw Failure{"a visible control", "a hidden one"};
  if (!IsWindowEnabled(control)) throw Failure{"an enabled control", "a disabled one"};
}

void TextCommand(Driver& driver, const Command& command) {
  const std::string saw = Shown(WindowText(TheControl(driver, command.args[0])));
  Expect("\"" + command.args[1] + "\"", "\"" + saw + "\"");
}

void VisibleCommand(Driver& driver, const Command& command) {
  ExpectFlag(command, "visible", IsWindowVisible(TheControl(driver, command.args[0])));
}

void EnabledCommand(Driver& driver, const Command& command) {
  ExpectFlag(command, "enabled", IsWindowEnabled(TheControl(driver, command.args[0])));
}

void CheckedCommand(Driver& driver, const Command& command) {
  const HWND control = TheControl(driver, command.args[0]);
  const long long expected = ParseNumber(command.args[1]);
  Expect("check state " + std::to_string(expected),
         "check state " + std::to_string(AskControl(control, BM_GETCHECK)));
}

void ProgressCommand(Driver& driver, const Command& command) {
  const HWND control = TheControl(driver, command.args[0]);
  const long long expected = ParseNumber(command.args[1]);
  Expect("position " + std::to_string(expected),
         "position " + std::to_string(AskControl(control, PBM_GETPOS)));
}

void RangeCommand(Driver& driver, const Command& command) {
  const HWND control = TheControl(driver, command.args[0]);
  const long long low = ParseNumber(command.args[1]);
  const long long high = ParseNumber(command.args[2]);
  // wParam TRUE asks for the low limit; no PBRANGE, which would not cross
  // into the other process.
  Expect("range " + std::to_string(low) + " " + std::to_string(high),
         "range " + std::to_string(AskControl(control, PBM_GETRANGE, TRUE)) + " " +
             std::to_string(AskControl(control, PBM_GETRANGE, FALSE)));
}

void ExistsCommand(Driver& driver, const Command& command) {
  ExpectFlag(command, "existing", Control(driver, command.args[0]) != nullptr);
}

// Posted: a handler that opens a modal box would block a sent click.
void ClickCommand(Driver& driver, const Command& command) {
  const HWND control = TheControl(driver, command.args[0]);
  ExpectPressable(driver, control);
  PostMessageA(control, BM_CLICK, 0, 0);
  driver.hooks.Settle(control, TheProcess(driver));
}

// Posted to the window itself, so the dialog manager turns it into the
// default button or IDCANCEL as it would a real key.
void KeyCommand(Driver& driver, const Command& command) {
  const HWND window = TheWindow(driver);
  const std::string& name = command.args[0];
  if (name != "enter" && name != "escape") throw ScriptError{"key is enter or escape"};
  ExpectWindowEnabled(window);
  const UINT key = name == "enter" ? VK_RETURN : VK_ESCAPE;
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16;
  PostMessageA(window, WM_KEYDOWN, key, scan | 1);
  PostMessageA(window, WM_KEYUP, key, scan | 1 | (1L << 30) | (1UL << 31));
  driver.hooks.Settle(window, TheProcess(driver));
}

// Sent: the edit notifies its parent with EN_CHANGE before this returns.
void TypeCommand(Driver& driver, const Command& command) {
  const HWND control = TheControl(driver, command.args[0]);
  ExpectPressable(driver, control);
  const std::wstring text = Wide(command.args[1]);
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                           SMTO_ABORTIFHUNG, 5000, &answer) ||
      !answer) {
    throw Failure{"the text set", "WM_SETTEXT failed or timed out"};
  }
}

void LineCountCommand(Driver& driver, const Command& command) {
  const HWND control = TheControl(driver, command.args[0]);
  const long long expected = ParseNumber(command.args[1]);
  Expect(std::to_string(expected) + " lines",
         std::to_string(AskControl(control, EM_GETLINECOUNT)) + " lines");
}

void FirstLineCommand(Driver& driver, const Command& command) {
  const HWND control = TheControl(driver, command.args[0]);
  const long long expected = ParseNumber(command.args[1]);
  Expect("first visible line " + std::to_string(expected),
         "first visible line " + std::to_string(AskControl(control, EM_GETFIRSTVISIBLELINE)));
}

void FirstLineAboveCommand(Driver& driver, const Command& command) {
  ExpectAbove(driver, command, EM_GETFIRSTVISIBLELINE, "first visible line");
}

void LineCountAboveCommand(Driver& driver, const Command& command) {
  ExpectAbove(driver, command, EM_GETLINECOUNT, "line count");
}

// Collected first and printed afterwards: nothing may throw through the
// system's enumeration frames.
void DumpCommand(Driver& driver, const Command&) {
  const HWND window = TheWindow(driver);
  std::vector<HWND> children;
  EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
  PrintLine("0 window \"" + Shown(WindowText(window)) + "\"");
  for (HWND child : children) {
    char className[64] = "";
    GetClassNameA(child, className, sizeof className);
    PrintLine(std::string(2 * Depth(child, window), ' ') + std::to_string(GetDlgCtrlID(child)) +
              " " + className + " visible=" + (IsWindowVisible(child) ? "1" : "0") + " enabled=" +
              (IsWindowEnabled(child) ? "1" : "0") + " \"" + Shown(WindowText(child)) + "\"");
  }
}

}  // namespace uidriver
