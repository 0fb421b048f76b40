// The current window's system menu, as the hook DLL reads it inside the
// target process. Wine adds its own item to every system menu, which is
// why a test may ask only for the items it cares about.
#include <windows.h>

#include "Driver.h"
#include "Errors.h"
#include "Text.h"

namespace uidriver {
namespace {

std::string Joined(const std::vector<MenuItemReport>& items) {
  std::string joined;
  for (const MenuItemReport& item : items) {
    joined += (joined.empty() ? "" : "|") + Shown(Utf8(item.text));
  }
  return joined;
}

const MenuItemReport* FindItem(const std::vector<MenuItemReport>& items, const std::string& text) {
  for (const MenuItemReport& item : items) {
    if (Shown(Utf8(item.text)) == text) return &item;
  }
  return nullptr;
}

// Ids and states help to tell two menus with the same texts apart.
void PrintItems(const std::vector<MenuItemReport>& items) {
  for (const MenuItemReport& item : items) {
    char line[64];
    wsprintfA(line, "  id 0x%04x state 0x%04x ", item.id, item.state);
    PrintLine(line + Shown(Utf8(item.text)));
  }
}

}  // namespace

void SysMenuCommand(Driver& driver, const Command& command) {
  const auto items = driver.hooks.ReadSystemMenu(TheWindow(driver));
  if (Joined(items) != command.args[0]) {
    PrintItems(items);
    throw Failure{"\"" + command.args[0] + "\"", "\"" + Joined(items) + "\""};
  }
}

void SysMenuHasCommand(Driver& driver, const Command& command) {
  const auto items = driver.hooks.ReadSystemMenu(TheWindow(driver));
  if (!FindItem(items, command.args[0])) {
    throw Failure{"an item \"" + command.args[0] + "\"", "\"" + Joined(items) + "\""};
  }
}

void SysMenuEnabledCommand(Driver& driver, const Command& command) {
  const auto items = driver.hooks.ReadSystemMenu(TheWindow(driver));
  const MenuItemReport* item = FindItem(items, command.args[0]);
  if (!item) throw Failure{"an item \"" + command.args[0] + "\"", "\"" + Joined(items) + "\""};
  const bool expected = ParseFlag(command.args[1]);
  const bool enabled = !(item->state & (MF_GRAYED | MF_DISABLED));
  if (enabled != expected) {
    throw Failure{expected ? "enabled" : "disabled", enabled ? "enabled" : "disabled"};
  }
}

}  // namespace uidriver
