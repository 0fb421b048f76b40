// The command table: names, how many arguments each takes, and the few
// commands too small for a file of their own.
#include <windows.h>

#include "Driver.h"
#include "Errors.h"
#include "Text.h"

namespace uidriver {
namespace {

void SleepCommand(Driver&, const Command& command) {
  Sleep(static_cast<DWORD>(ParseNumber(command.args[0])));
}

// Under Wine every message a hooked thread sends passes the hooks through
// the server: a timed run after an action drops them, so that the program
// works as it does for a user.
void UnhookCommand(Driver& driver, const Command&) { driver.hooks.Detach(); }

void PrintCommand(Driver&, const Command& command) {
  std::string text;
  for (const std::string& arg : command.args) text += (text.empty() ? "" : " ") + arg;
  PrintLine(text);
}

constexpr size_t kAny = 1000;

struct Entry {
  const char* name;
  size_t minArgs;
  size_t maxArgs;  // kAny for no limit
  void (*run)(Driver&, const Command&);
  bool verbatim = false;  // takes the rest of the line, not split arguments
};

const Entry kCommands[] = {
    {"cd", 1, 1, CdCommand},
    {"env", 1, 2, EnvCommand},
    {"start", 0, kAny, StartCommand, true},
    {"window", 1, 2, WindowCommand},
    {"gone", 1, 2, GoneCommand},
    {"messagebox", 2, 3, MessageBoxCommand},
    {"messagebox-begins", 2, 3, MessageBoxBeginsCommand},
    {"text", 2, 2, TextCommand},
    {"visible", 2, 2, VisibleCommand},
    {"enabled", 2, 2, EnabledCommand},
    {"checked", 2, 2, CheckedCommand},
    {"progress", 2, 2, ProgressCommand},
    {"range", 3, 3, RangeCommand},
    {"exists", 2, 2, ExistsCommand},
    {"click", 1, 1, ClickCommand},
    {"key", 1, 1, KeyCommand},
    {"type", 2, 2, TypeCommand},
    {"keys", 2, 2, KeysCommand},
    {"mnemonic", 1, 1, MnemonicCommand},
    {"syscommand", 1, 1, SysCommandCommand},
    {"scroll", 2, 2, ScrollCommand},
    {"focus", 1, 1, FocusCommand},
    {"linecount", 2, 2, LineCountCommand},
    {"linecount-above", 2, 2, LineCountAboveCommand},
    {"firstline", 2, 2, FirstLineCommand},
    {"firstline-above", 2, 2, FirstLineAboveCommand},
    {"icon", 2, 2, IconCommand},
    {"font", 4, 4, FontCommand},
    {"dpichanged", 1, 1, DpiChangedCommand},
    {"font-not", 2, 2, FontNotCommand},
    {"style", 2, 2, StyleCommand},
    {"exstyle", 2, 2, ExStyleCommand},
    {"nostyle", 2, 2, NoStyleCommand},
    {"dialogrect", 5, 5, DialogRectCommand},
    {"dialogsize", 2, 2, DialogSizeCommand},
    {"clientsize", 3, 3, ClientSizeCommand},
    {"windowrect-centred-over", 1, 1, CentredOverCommand},
    {"windowrect-centred-screen", 0, 0, CentredScreenCommand},
    {"owner", 1, 1, OwnerCommand},
    {"sysmenu", 1, 1, SysMenuCommand},
    {"sysmenu-has", 1, 1, SysMenuHasCommand},
    {"sysmenu-enabled", 2, 2, SysMenuEnabledCommand},
    {"regvalue", 4, 4, RegValueCommand},
    {"regtext", 3, 3, RegTextCommand},
    {"noregkey", 1, 1, NoRegKeyCommand},
    {"noregvalue", 2, 2, NoRegValueCommand},
    {"waittext", 2, 3, WaitTextCommand},
    {"watch", 4, 6, WatchCommand},
    {"watch-saw-text", 1, 1, WatchSawTextCommand},
    {"watch-reads-above", 1, 1, WatchReadsAboveCommand},
    {"watch-progress-above", 1, 1, WatchProgressAboveCommand},
    {"textlog", 1, 1, TextLogCommand},
    {"textlog-is", 2, 2, TextLogIsCommand},
    {"textlog-has", 2, 2, TextLogHasCommand},
    {"textlog-print", 1, 1, TextLogPrintCommand},
    {"exit", 1, 2, ExitCommand},
    {"screenshot", 1, 1, ScreenshotCommand},
    {"stopwatch", 1, 2, StopwatchCommand},
    {"sleep", 1, 1, SleepCommand},
    {"unhook", 0, 0, UnhookCommand},
    {"dump", 0, 0, DumpCommand},
    {"print", 0, kAny, PrintCommand},
};

}  // namespace

void Run(Driver& driver, const Command& command) {
  for (const Entry& entry : kCommands) {
    if (command.name != entry.name) continue;
    if (entry.verbatim) {
      if (command.rest.empty()) throw ScriptError{"nothing to run"};
    } else if (!command.splitError.empty()) {
      throw ScriptError{command.splitError};
    } else if (command.args.size() < entry.minArgs || command.args.size() > entry.maxArgs) {
      throw ScriptError{"wrong number of arguments (" + std::to_string(command.args.size()) + ")"};
    }
    entry.run(driver, command);
    return;
  }
  throw ScriptError{"unknown command"};
}

}  // namespace uidriver
