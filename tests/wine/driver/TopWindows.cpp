// Finding the process's dialogs and message boxes, and the controls in them.
#include <windows.h>

#include <functional>

#include "Driver.h"
#include "Errors.h"
#include "Text.h"

namespace uidriver {
namespace {

constexpr DWORD kPollMs = 20;
constexpr DWORD kSendTimeoutMs = 5000;
constexpr int kMessageBoxTextId = 65535;

std::string ClassName(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

using WindowVisitor = std::function<bool(HWND, const std::string&)>;

struct TopWindowSearch {
  DWORD processId;
  const WindowVisitor* visit;
};

BOOL CALLBACK VisitTopWindow(HWND window, LPARAM param) {
  const auto* search = reinterpret_cast<const TopWindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  return (*search->visit)(window, Caption(window)) ? TRUE : FALSE;
}

// Visible top-level windows of one process, topmost first, until visit
// returns false.
void ForEachTopWindow(DWORD processId, const WindowVisitor& visit) {
  TopWindowSearch search{processId, &visit};
  EnumWindows(VisitTopWindow, reinterpret_cast<LPARAM>(&search));
}

// `except` is passed over: a message box often carries the caption of the
// page it belongs to, and must not be taken for that page.
HWND FindDialog(DWORD processId, const std::string& caption, HWND except = nullptr) {
  HWND found = nullptr;
  ForEachTopWindow(processId, [&](HWND window, const std::string& text) {
    if (window != except && text == caption && ClassName(window) == "#32770") found = window;
    return found == nullptr;
  });
  return found;
}

DWORD TimeoutArg(const Command& command, size_t index) {
  return static_cast<DWORD>(command.args.size() > index ? ParseNumber(command.args[index]) : 10000);
}

HWND WaitForDialog(Driver& driver, const std::string& caption, DWORD timeout,
                   HWND except = nullptr) {
  const HANDLE process = TheProcess(driver);
  const std::string expected = "window \"" + Shown(caption) + "\"";
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND window = FindDialog(driver.processId, caption, except)) return window;
    const std::string ended = EndedText(process);
    if (!ended.empty()) throw Failure{expected, ended};
    if (GetTickCount() - start >= timeout) {
      throw Failure{expected,
                    "after " + std::to_string(timeout) + " ms " + WindowsOf(driver.processId)};
    }
    Sleep(kPollMs);
  }
}

struct ChildSearch {
  int id;
  HWND visible = nullptr;
  HWND any = nullptr;
};

BOOL CALLBACK VisitChild(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<ChildSearch*>(param);
  if (GetDlgCtrlID(child) != search->id) return TRUE;
  if (!search->any) search->any = child;
  if (IsWindowVisible(child)) search->visible = child;
  return search->visible == nullptr;
}

HWND FindChild(HWND parent, int id) {
  if (HWND child = GetDlgItem(parent, id)) return child;
  // Controls on a page that is itself a child dialog; a visible one wins
  // over a hidden page's control with the same id.
  ChildSearch search{id};
  EnumChildWindows(parent, VisitChild, reinterpret_cast<LPARAM>(&search));
  return search.visible ? search.visible : search.any;
}

}  // namespace

// GetWindowTextW never waits on another process's thread.
std::string Caption(HWND window) {
  wchar_t caption[512] = L"";
  GetWindowTextW(window, caption, ARRAYSIZE(caption));
  return Utf8(caption);
}

std::string WindowsOf(DWORD processId) {
  std::string list;
  ForEachTopWindow(processId, [&](HWND window, const std::string& text) {
    list += (list.empty() ? "" : ", ") + ClassName(window) + " \"" + Shown(text) + "\"";
    return true;
  });
  return list.empty() ? "no visible window" : "windows: " + list;
}

HWND FindTopWindow(DWORD processId, const std::string& caption) {
  HWND found = nullptr;
  ForEachTopWindow(processId, [&](HWND window, const std::string& text) {
    if (text == caption) found = window;
    return found == nullptr;
  });
  return found;
}

// A control's text is asked for (another process's edit keeps its text
// where GetWindowTextW cannot see it); a top-level window's caption is not.
std::string Describe(HWND window) {
  if (!(GetWindowLongW(window, GWL_STYLE) & WS_CHILD)) {
    return ClassName(window) + " \"" + Shown(Caption(window)) + "\"";
  }
  return "id " + std::to_string(GetDlgCtrlID(window)) + " " + ClassName(window) + " \"" +
         Shown(WindowText(window)) + "\"";
}

HWND TheWindow(const Driver& driver) {
  if (!driver.window) throw ScriptError{"no current window: use window or messagebox first"};
  if (!IsWindow(driver.window)) throw Failure{"the current window", "it no longer exists"};
  return driver.window;
}

HWND Control(const Driver& driver, const std::string& id) {
  const HWND window = TheWindow(driver);
  const int number = static_cast<int>(ParseNumber(id));
  if (number == 0) return window;
  HWND child = FindChild(window, number);
  // A message box's text has the id 65535 from a 16-bit template field,
  // which a program may equally have written as -1.
  if (!child && (number == -1 || number == kMessageBoxTextId)) {
    child = FindChild(window, number == -1 ? kMessageBoxTextId : -1);
  }
  return child;
}

// Asked in UTF-16: an ANSI window's text comes converted from the system's
// code page, a Unicode window's as it is.
std::string WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                           &length)) {
    throw Failure{"an answer to WM_GETTEXTLENGTH", "none within 5 s"};
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied)) {
    throw Failure{"an answer to WM_GETTEXT", "none within 5 s"};
  }
  text.resize(copied);
  return Utf8(text);
}

void WindowCommand(Driver& driver, const Command& command) {
  driver.window = WaitForDialog(driver, command.args[0], TimeoutArg(command, 1));
}

void GoneCommand(Driver& driver, const Command& command) {
  TheProcess(driver);
  const DWORD timeout = TimeoutArg(command, 1);
  const DWORD start = GetTickCount();
  while (FindDialog(driver.processId, command.args[0])) {
    if (GetTickCount() - start >= timeout) {
      throw Failure{"no window \"" + Shown(command.args[0]) + "\"",
                    "it is still there after " + std::to_string(timeout) + " ms"};
    }
    Sleep(kPollMs);
  }
}

// The message box's text as shown, after waiting for the box: a window
// other than the current one, which is the page the box is expected over.
static std::string MessageBoxText(Driver& driver, const Command& command) {
  driver.window = WaitForDialog(driver, command.args[0], TimeoutArg(command, 2), driver.window);
  const HWND text = Control(driver, std::to_string(kMessageBoxTextId));
  if (!text) throw Failure{"a message box text (id 65535)", "no such control"};
  return Shown(WindowText(text));
}

void MessageBoxCommand(Driver& driver, const Command& command) {
  const std::string saw = MessageBoxText(driver, command);
  if (saw != command.args[1]) throw Failure{"\"" + command.args[1] + "\"", "\"" + saw + "\""};
}

// For messages that end in something the test cannot know in advance (a
// file name, the system's wording of an error).
void MessageBoxBeginsCommand(Driver& driver, const Command& command) {
  const std::string saw = MessageBoxText(driver, command);
  if (saw.compare(0, command.args[1].size(), command.args[1]) != 0) {
    throw Failure{"a text beginning \"" + command.args[1] + "\"", "\"" + saw + "\""};
  }
}

}  // namespace uidriver
