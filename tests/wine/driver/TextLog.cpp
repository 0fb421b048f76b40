// textlog: every text a control is given, in order, recorded inside the
// target by the hook. A handler that sets a status line several times
// without emptying its queue paints only the last of them, and no read
// from outside sees the others; the log does.
#include <windows.h>

#include <algorithm>

#include "Driver.h"
#include "Errors.h"
#include "Text.h"

namespace uidriver {
namespace {

// A longer log is only listed in a failure report, one text a line.
constexpr size_t kJoinedShownBytes = 400;

// How long a check waits for the control's thread; see CatchUp.
constexpr DWORD kCatchUpMs = 1000;

// Under Wine 8 a text sent from another process (`type`) is answered
// before the hook records it, in the same thread a moment later: a message
// sent after it is handled only once the hook is done. A busy thread gets
// kCatchUpMs; its own texts are recorded as it sets them, so what is there
// by then is all it has given so far. A destroyed control has nothing left
// to record.
void CatchUp(HWND control) {
  if (!IsWindow(control)) return;
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(control, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kCatchUpMs, &ignored);
}

std::string Joined(const std::vector<RecordedText>& texts) {
  std::string joined;
  for (size_t i = 0; i < texts.size(); ++i) joined += (i ? "|" : "") + Shown(texts[i].text);
  return joined;
}

// What a failed check saw: the texts one a line (a text may hold a | of
// its own), and the count with the joined form unless that is long.
std::string Recorded(const std::vector<RecordedText>& texts) {
  for (size_t i = 0; i < texts.size(); ++i) {
    PrintLine("  " + std::to_string(i + 1) + " \"" + Shown(texts[i].text) + "\"");
  }
  const std::string joined = Joined(texts);
  return std::to_string(texts.size()) + (texts.size() == 1 ? " text" : " texts") +
         (joined.size() <= kJoinedShownBytes ? " \"" + joined + "\"" : ", listed above");
}

// A log that lost a text, or kept only part of one, cannot prove what the
// control was given: every check of it fails, naming what is missing.
std::vector<RecordedText> Complete(Driver& driver, const std::string& id) {
  const long long number = ParseNumber(id);
  CatchUp(driver.textLogs.Control(number));
  TextLogCopy copy = driver.textLogs.Read(number);
  if (copy.lost > 0) {
    throw Failure{"every text recorded", "the log full: " + std::to_string(copy.lost) +
                                             " more after the first " +
                                             std::to_string(kTextLogEntries) + " were lost"};
  }
  for (size_t i = 0; i < copy.texts.size(); ++i) {
    if (copy.texts[i].size > kTextLogTextBytes) {
      throw Failure{"texts of at most " + std::to_string(kTextLogTextBytes) + " bytes",
                    "text " + std::to_string(i + 1) + " longer, beginning \"" +
                        Shown(Beginning(copy.texts[i].text, 40)) + "\""};
    }
  }
  return std::move(copy.texts);
}

}  // namespace

// Started inside the target's thread before the command returns, so a click
// on the next line is recorded from its first text on.
void TextLogCommand(Driver& driver, const Command& command) {
  const HWND control = TheControl(driver, command.args[0]);
  const long long id = ParseNumber(command.args[0]);
  driver.hooks.HookTexts(control);
  Query query{};
  query.kind = kQueryTextLog;
  query.textLog = driver.textLogs.LogFor(id);
  if (driver.hooks.Ask(control, query).answer != kAnswerGiven) {
    throw Failure{"a text log started in the target", "the hook could not map the driver's log"};
  }
  driver.textLogs.Bind(id, query.textLog, control);
}

void TextLogIsCommand(Driver& driver, const Command& command) {
  const std::vector<RecordedText> texts = Complete(driver, command.args[0]);
  if (Joined(texts) != command.args[1]) {
    throw Failure{"\"" + command.args[1] + "\"", Recorded(texts)};
  }
}

void TextLogHasCommand(Driver& driver, const Command& command) {
  const std::vector<RecordedText> texts = Complete(driver, command.args[0]);
  const bool found = std::any_of(texts.begin(), texts.end(), [&](const RecordedText& recorded) {
    return Shown(recorded.text) == command.args[1];
  });
  if (!found) {
    throw Failure{"a text \"" + command.args[1] + "\" among those recorded", Recorded(texts)};
  }
}

// For checks a script cannot spell out, such as paths in the order the
// file system returns them: the texts one a line, then their count.
void TextLogPrintCommand(Driver& driver, const Command& command) {
  PrintLine("textlog " + command.args[0] + ": " + Recorded(Complete(driver, command.args[0])));
}

}  // namespace uidriver
