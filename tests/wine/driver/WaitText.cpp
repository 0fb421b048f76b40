// waittext: waits for a control to show a text, as a test does while a long
// operation runs. A read that gets no answer is no failure by itself: the
// window's thread may be busy, and the wait is for the text, not for speed
// (`watch` is the check of speed).
#include <windows.h>

#include <optional>

#include "Driver.h"
#include "Errors.h"
#include "Text.h"
#include "TimedRead.h"

namespace uidriver {
namespace {

constexpr DWORD kPollMs = 20;
constexpr DWORD kDefaultTimeoutMs = 60000;
// A window goes away a moment before its process is seen to end: the exit
// code is the better report, and worth this wait on the way to a failure.
constexpr DWORD kEndGraceMs = 1000;

}  // namespace

void WaitTextCommand(Driver& driver, const Command& command) {
  const HANDLE process = TheProcess(driver);
  TheWindow(driver);
  const std::string& id = command.args[0];
  const std::string& expected = command.args[1];
  const DWORD timeout = static_cast<DWORD>(command.args.size() > 2 ? ParseNumber(command.args[2])
                                                                   : kDefaultTimeoutMs);
  const std::string quoted = "\"" + expected + "\"";
  std::optional<std::string> last;  // the last text read, as shown
  std::string unanswered;           // how long the last read waited in vain
  bool missing = false;             // at the last look there was no such control
  const auto seen = [&]() -> std::string {
    if (missing) return "no control with id " + id;
    const std::string text = last ? "the last text \"" + *last + "\"" : "no text";
    return unanswered.empty() ? text : "no answer for " + unanswered + " ms, before that " + text;
  };
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD elapsed = GetTickCount() - start;
    if (!IsWindow(driver.window)) {
      const std::string ended = EndedText(process, kEndGraceMs);
      throw Failure{quoted, (ended.empty() ? "the window closed" : ended) + "; " + seen()};
    }
    const HWND control = Control(driver, id);
    missing = control == nullptr;
    if (control) {
      const TimedText read = ReadTextTimed(control, elapsed < timeout ? timeout - elapsed : 1);
      unanswered.clear();
      if (read.answered) {
        last = Shown(read.text);
        if (*last == expected) return;
      } else if (!read.gone) {
        unanswered = Ms(read.ms);
      }
    }
    const std::string ended = EndedText(process);
    if (!ended.empty()) throw Failure{quoted, ended + "; " + seen()};
    if (GetTickCount() - start >= timeout) {
      throw Failure{quoted + " within " + std::to_string(timeout) + " ms", seen()};
    }
    Sleep(kPollMs);
  }
}

}  // namespace uidriver
