// Where windows are and how big: controls against their dialog-unit
// rectangles, dialogs against their dialog-unit sizes, windows centred over
// their owner or the work area, and who owns a window. Dialog units are
// mapped by the hook inside the target: MapDialogRect fails on another
// process's dialog under Wine 8 (error 1400).
#include <windows.h>

#include <cstdlib>

#include "Driver.h"
#include "Errors.h"
#include "Text.h"

namespace uidriver {
namespace {

std::string RectText(const RECT& rect) {
  return std::to_string(rect.left) + "," + std::to_string(rect.top) + " " +
         std::to_string(rect.right - rect.left) + "x" + std::to_string(rect.bottom - rect.top);
}

struct Mapped {
  RECT pixels;  // left, top, right, bottom in pixels
  SIZE baseUnits;
};

// The arguments from `first` on: X Y W H, or W H at 0,0. Position and size
// are mapped each on its own, as the dialog manager does when it creates a
// control (MulDiv of x and of cx, never of x + cx).
Mapped MapUnits(Driver& driver, HWND dialog, const Command& command, size_t first) {
  long units[4] = {0, 0, 0, 0};
  const size_t count = command.args.size() - first;
  for (size_t i = 0; i < count; ++i) {
    units[i] = static_cast<long>(ParseNumber(command.args[first + i]));
  }
  Query query{};
  query.kind = kQueryDialogUnits;
  query.units =
      count == 4 ? RECT{units[0], units[1], units[2], units[3]} : RECT{0, 0, units[0], units[1]};
  const Query answer = driver.hooks.Ask(dialog, query);
  if (answer.answer != kAnswerGiven) {
    throw Failure{"a dialog to map dialog units on", Describe(dialog) + ", which is not one"};
  }
  const RECT& p = answer.pixels;
  return Mapped{RECT{p.left, p.top, p.left + p.right, p.top + p.bottom}, answer.baseUnits};
}

std::string UnitsText(const Command& command, size_t first, const SIZE& base) {
  std::string text = "dialog units";
  for (size_t i = first; i < command.args.size(); ++i) text += " " + command.args[i];
  return text + " at base units " + std::to_string(base.cx) + "x" + std::to_string(base.cy);
}

// A doubled distance in pixels, halved again: "-1.5".
std::string Halved(long doubled) {
  const long whole = std::labs(doubled) / 2;
  return (doubled < 0 ? "-" : "+") + std::to_string(whole) + (doubled % 2 ? ".5" : "");
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Centres compared doubled, so that a half pixel stays exact: within one
// pixel each way is within 2 here.
void ExpectCentred(HWND window, const RECT& over, const std::string& overName) {
  RECT rect{};
  GetWindowRect(window, &rect);
  const long dx = (rect.left + rect.right) - (over.left + over.right);
  const long dy = (rect.top + rect.bottom) - (over.top + over.bottom);
  if (std::labs(dx) > 2 || std::labs(dy) > 2) {
    throw Failure{"a window centred over " + overName + " " + RectText(over),
                  RectText(rect) + ", its centre off by " + Halved(dx) + "," + Halved(dy)};
  }
}

}  // namespace

// Relative to the client area of the control's parent, which is the current
// dialog, or the page (a child dialog) that holds the control.
void DialogRectCommand(Driver& driver, const Command& command) {
  const HWND control = TheControl(driver, command.args[0]);
  const HWND dialog = GetParent(control);
  if (control == TheWindow(driver) || !dialog) {
    throw ScriptError{"dialogrect takes a control; dialogsize measures the window"};
  }
  const Mapped expected = MapUnits(driver, dialog, command, 1);
  RECT saw{};
  GetWindowRect(control, &saw);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&saw), 2);
  if (!SameRect(saw, expected.pixels)) {
    throw Failure{
        RectText(expected.pixels) + " (" + UnitsText(command, 1, expected.baseUnits) + ")",
        RectText(saw)};
  }
}

// The client area, which the dialog manager makes exactly the template's
// size; the frame around it depends on the theme's metrics.
void DialogSizeCommand(Driver& driver, const Command& command) {
  const HWND window = TheWindow(driver);
  const Mapped expected = MapUnits(driver, window, command, 0);
  RECT saw{};
  GetClientRect(window, &saw);
  if (!SameRect(saw, expected.pixels)) {
    RECT frame{};
    GetWindowRect(window, &frame);
    throw Failure{"client area " + RectText(expected.pixels) + " (" +
                      UnitsText(command, 0, expected.baseUnits) + ")",
                  "client area " + RectText(saw) + " in the window " + RectText(frame)};
  }
}

// The client area in pixels, each side within PERCENT % of the one given:
// how large a window came out at the screen's DPI.
void ClientSizeCommand(Driver& driver, const Command& command) {
  const HWND window = TheWindow(driver);
  const long width = static_cast<long>(ParseNumber(command.args[0]));
  const long height = static_cast<long>(ParseNumber(command.args[1]));
  const long percent = static_cast<long>(ParseNumber(command.args[2]));
  RECT saw{};
  GetClientRect(window, &saw);
  auto within = [&](long value, long wanted) { return std::labs(value - wanted) * 100 <= wanted * percent; };
  if (!within(saw.right, width) || !within(saw.bottom, height)) {
    throw Failure{"client area " + std::to_string(width) + "x" + std::to_string(height) +
                      " within " + std::to_string(percent) + " %",
                  "client area " + RectText(saw)};
  }
}

void CentredOverCommand(Driver& driver, const Command& command) {
  const HWND window = TheWindow(driver);
  const HWND over = FindTopWindow(driver.processId, command.args[0]);
  if (!over) {
    throw Failure{"a window \"" + Shown(command.args[0]) + "\" to be centred over",
                  WindowsOf(driver.processId)};
  }
  RECT rect{};
  GetWindowRect(over, &rect);
  ExpectCentred(window, rect, "\"" + Shown(command.args[0]) + "\"");
}

void CentredScreenCommand(Driver& driver, const Command&) {
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  ExpectCentred(TheWindow(driver), work, "the work area");
}

void OwnerCommand(Driver& driver, const Command& command) {
  const HWND owner = GetWindow(TheWindow(driver), GW_OWNER);
  const std::string& expected = command.args[0];
  std::string saw = "no owner";
  if (owner) {
    DWORD process = 0;
    GetWindowThreadProcessId(owner, &process);
    saw = "owner " + Describe(owner) + (process == driver.processId ? "" : " of another process");
    if (process == driver.processId && expected == Caption(owner)) return;
  } else if (expected == "none") {
    return;
  }
  throw Failure{expected == "none" ? "no owner" : "the owner \"" + Shown(expected) + "\"", saw};
}

}  // namespace uidriver
