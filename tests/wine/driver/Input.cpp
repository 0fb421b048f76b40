// Working the current window with the keyboard and its system menu, as a
// user does: every action is posted (a handler may open a modal box) and
// followed by a wait until the window's thread has handled it.
#include <windows.h>

#include <cctype>

#include "Driver.h"
#include "Errors.h"
#include "Text.h"

namespace uidriver {
namespace {

constexpr LPARAM kRepeatOnce = 1;
constexpr LPARAM kAltHeld = 1L << 29;
constexpr LPARAM kWasDown = 1L << 30;
constexpr LPARAM kReleased = static_cast<LPARAM>(1UL << 31);

LPARAM ScanCode(UINT key) {
  return static_cast<LPARAM>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16;
}

// Where the keyboard's messages go: the focus, when it lies in the window.
HWND KeyboardTarget(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  if (GetGUIThreadInfo(thread, &info) && info.hwndFocus &&
      (info.hwndFocus == window || IsChild(window, info.hwndFocus))) {
    return info.hwndFocus;
  }
  return window;
}

}  // namespace

void SysCommandCommand(Driver& driver, const Command& command) {
  const HWND window = TheWindow(driver);
  const auto id = static_cast<WPARAM>(ParseNumber(command.args[0]));
  ExpectWindowEnabled(window);
  PostMessageA(window, WM_SYSCOMMAND, id, 0);
  driver.hooks.Settle(window, TheProcess(driver));
}

// The focus goes to the control through the dialog manager, as Tab would
// take it there (an edit's whole text is selected, so typing replaces it).
// Then each character comes as the keyboard gives it to the control: to a
// Unicode window one WM_CHAR per UTF-16 unit; to an ANSI window one per
// byte of the ANSI code page, so a double-byte character as lead byte, then
// trail byte, which both user32's and common controls 6's edits put
// together under Wine.
void KeysCommand(Driver& driver, const Command& command) {
  const HWND window = TheWindow(driver);
  const HWND control = TheControl(driver, command.args[0]);
  ExpectPressable(driver, control);
  PostMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
  if (IsWindowUnicode(control)) {
    for (const wchar_t unit : Wide(command.args[1])) {
      PostMessageW(control, WM_CHAR, unit, kRepeatOnce);
    }
  } else {
    for (const char c : Utf8ToAnsi(command.args[1])) {
      PostMessageA(control, WM_CHAR, static_cast<unsigned char>(c), kRepeatOnce);
    }
  }
  driver.hooks.Settle(control, TheProcess(driver));
}

// Alt+LETTER as the keyboard delivers it: WM_SYSKEYDOWN for Alt and for the
// letter, which the dialog loop's TranslateMessage turns into the WM_SYSCHAR
// that the dialog manager matches against the controls' "&" letters; the
// key-ups follow once that has been handled.
void MnemonicCommand(Driver& driver, const Command& command) {
  const std::string& letter = command.args[0];
  if (letter.size() != 1 || !std::isalnum(static_cast<unsigned char>(letter[0]))) {
    throw ScriptError{"a mnemonic is one letter or digit"};
  }
  const HWND window = TheWindow(driver);
  ExpectWindowEnabled(window);
  const HWND target = KeyboardTarget(window);
  const UINT key = static_cast<UINT>(std::toupper(static_cast<unsigned char>(letter[0])));
  PostMessageA(target, WM_SYSKEYDOWN, VK_MENU, ScanCode(VK_MENU) | kAltHeld | kRepeatOnce);
  PostMessageA(target, WM_SYSKEYDOWN, key, ScanCode(key) | kAltHeld | kRepeatOnce);
  driver.hooks.Settle(window, TheProcess(driver));
  PostMessageA(target, WM_SYSKEYUP, key,
               ScanCode(key) | kAltHeld | kWasDown | kReleased | kRepeatOnce);
  PostMessageA(target, WM_KEYUP, VK_MENU, ScanCode(VK_MENU) | kWasDown | kReleased | kRepeatOnce);
  driver.hooks.Settle(window, TheProcess(driver));
}

// A click on the scroll bar's track: the page, then the end of the scroll.
void ScrollCommand(Driver& driver, const Command& command) {
  const HWND control = TheControl(driver, command.args[0]);
  const std::string& direction = command.args[1];
  if (direction != "down" && direction != "up") throw ScriptError{"scroll down or up"};
  ExpectPressable(driver, control);
  PostMessageA(control, WM_VSCROLL, direction == "down" ? SB_PAGEDOWN : SB_PAGEUP, 0);
  PostMessageA(control, WM_VSCROLL, SB_ENDSCROLL, 0);
  driver.hooks.Settle(control, TheProcess(driver));
}

void FocusCommand(Driver& driver, const Command& command) {
  const HWND window = TheWindow(driver);
  const HWND expected = TheControl(driver, command.args[0]);
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) {
    throw Failure{"the focus of the window's thread",
                  "GetGUIThreadInfo error " + std::to_string(GetLastError())};
  }
  if (info.hwndFocus != expected) {
    throw Failure{"the focus on " + Describe(expected),
                  info.hwndFocus ? "it on " + Describe(info.hwndFocus) : "no focus"};
  }
}

}  // namespace uidriver
