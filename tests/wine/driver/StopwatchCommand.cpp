// stopwatch: times a stretch of a script from the driver's side, e.g. from
// a click to the text that says the work is done, or from `start` to
// `exit`. The script's own commands bracket what is timed, so the figure
// holds exactly the waits a user would sit through.
#include "Driver.h"
#include "Errors.h"
#include "Text.h"
#include "TimedRead.h"

namespace uidriver {

// `stopwatch start` (re)starts it; `stopwatch print NAME` prints
// "stopwatch NAME: T ms" and leaves it running, so one start can serve
// several laps.
void StopwatchCommand(Driver& driver, const Command& command) {
  const std::string& action = command.args[0];
  if (action == "start") {
    if (command.args.size() != 1) throw ScriptError{"stopwatch start takes no name"};
    driver.stopwatch.emplace();
    return;
  }
  if (action != "print") throw ScriptError{"stopwatch start or stopwatch print NAME"};
  if (command.args.size() != 2) throw ScriptError{"stopwatch print needs a NAME"};
  // Read before anything else, so the report costs nothing of the figure.
  if (!driver.stopwatch) throw ScriptError{"no stopwatch started"};
  const double ms = driver.stopwatch->Ms();
  PrintLine("stopwatch " + command.args[1] + ": " + Ms(ms) + " ms");
}

}  // namespace uidriver
