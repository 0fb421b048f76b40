// watch: samples a status text and a progress bar while a long operation
// runs in the window's thread, timing every read. A program that does its
// work inside a handler answers only when it empties its queue between
// steps; the slowest read is how long the window stood frozen.
#include <windows.h>

#include <commctrl.h>

#include <optional>

#include "Driver.h"
#include "Errors.h"
#include "Text.h"
#include "TimedRead.h"

namespace uidriver {
namespace {

constexpr DWORD kSampleMs = 5;  // after each round, unless a period is given
constexpr long long kDefaultTimeoutMs = 120000;
constexpr DWORD kEndGraceMs = 1000;  // see WaitText.cpp

long long PositiveArg(const Command& command, size_t index, long long otherwise) {
  if (command.args.size() <= index) return otherwise;
  const long long value = ParseNumber(command.args[index]);
  if (value <= 0) throw ScriptError{"expected a number above 0, not " + command.args[index]};
  return value;
}

const WatchRecord& LastWatch(const Driver& driver) {
  if (!driver.lastWatch) throw ScriptError{"no watch has run"};
  return *driver.lastWatch;
}

std::string SlowestText(const WatchRecord& record, double maxMs) {
  const SlowestRead& slowest = record.Slowest();
  return std::to_string(record.ReadsOver(maxMs)) + " of " + std::to_string(record.Reads()) +
         " reads too slow; the slowest, " + slowest.message + " at " + Ms(slowest.atMs) +
         " ms into the watch, " +
         (slowest.answered ? "took " + Ms(slowest.ms) + " ms"
                           : "got no answer within " + Ms(slowest.ms) + " ms");
}

}  // namespace

// Reads on until the text is there even after a slow read, so that the
// summary tells how long and how often the window froze, and which of the
// texts it showed meanwhile a user never saw.
void WatchCommand(Driver& driver, const Command& command) {
  const long long maxMs = PositiveArg(command, 3, 0);
  const long long timeout = PositiveArg(command, 4, kDefaultTimeoutMs);
  // A fixed period keeps the rate of reads the same however fast the window
  // answers, so two runs put the same load on the program they measure.
  const long long period = PositiveArg(command, 5, 0);
  const HANDLE process = TheProcess(driver);
  const HWND status = TheControl(driver, command.args[0]);
  const HWND bar = TheControl(driver, command.args[1]);
  const std::string& until = command.args[2];
  // Above the limit, so that a slow read is measured rather than cut off.
  const auto readTimeout = static_cast<DWORD>(2 * maxMs + 100);
  const std::string quoted = "\"" + until + "\"";

  WatchRecord record;
  std::optional<Failure> failure;
  const Stopwatch clock;
  double nextRound = 0;
  for (;;) {
    const double textAt = clock.Ms();
    // A read cut short by the window's end measures nothing.
    const TimedText text = ReadTextTimed(status, readTimeout);
    if (!text.gone) record.AddRead("WM_GETTEXT", textAt, text.ms, text.answered);
    if (text.answered) record.AddText(Shown(text.text));
    const double positionAt = clock.Ms();
    const TimedAnswer position = SendTimed(bar, PBM_GETPOS, 0, readTimeout);
    if (!position.gone) record.AddRead("PBM_GETPOS", positionAt, position.ms, position.answered);
    if (position.answered) record.AddPosition(position.value);

    if (text.answered && Shown(text.text) == until) break;
    std::string ended = EndedText(process);
    if (ended.empty() && (!IsWindow(status) || !IsWindow(bar))) {
      ended = EndedText(process, kEndGraceMs);
      if (ended.empty()) ended = "a watched control no longer exists";
    }
    if (!ended.empty()) {
      failure = Failure{quoted, ended + "; " + record.LastText()};
      break;
    }
    if (clock.Ms() >= static_cast<double>(timeout)) {
      failure = Failure{quoted + " within " + std::to_string(timeout) + " ms", record.LastText()};
      break;
    }
    if (period == 0) {
      Sleep(kSampleMs);
      continue;
    }
    nextRound += static_cast<double>(period);
    const double now = clock.Ms();
    if (nextRound > now) {
      Sleep(static_cast<DWORD>(nextRound - now));
    } else {
      // A round that overran its period starts the next at once, without
      // making up for the rounds it missed.
      nextRound = now;
    }
  }
  PrintLine(record.Summary(clock.Ms()));
  if (!failure && record.ReadsOver(static_cast<double>(maxMs)) > 0) {
    failure = Failure{"every read within " + std::to_string(maxMs) + " ms",
                      SlowestText(record, static_cast<double>(maxMs))};
  }
  driver.lastWatch = std::move(record);
  if (failure) throw *failure;
}

void WatchSawTextCommand(Driver& driver, const Command& command) {
  const WatchRecord& record = LastWatch(driver);
  if (!record.Saw(command.args[0])) {
    throw Failure{"the text \"" + command.args[0] + "\" among those the last watch saw",
                  record.Texts().empty() ? "no text" : record.Texts()};
  }
}

void WatchReadsAboveCommand(Driver& driver, const Command& command) {
  const WatchRecord& record = LastWatch(driver);
  const long long bound = ParseNumber(command.args[0]);
  if (static_cast<long long>(record.Reads()) <= bound) {
    throw Failure{"more than " + std::to_string(bound) + " reads",
                  std::to_string(record.Reads()) + " reads"};
  }
}

void WatchProgressAboveCommand(Driver& driver, const Command& command) {
  const WatchRecord& record = LastWatch(driver);
  const long long bound = ParseNumber(command.args[0]);
  if (!record.HasPosition() || record.Highest() <= bound) {
    throw Failure{"a progress position above " + std::to_string(bound),
                  record.HasPosition() ? "the highest " + std::to_string(record.Highest())
                                       : "no position: no read of it was answered"};
  }
}

}  // namespace uidriver
