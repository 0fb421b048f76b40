// uidriver SCRIPTFILE: drives the real windows of a program under Wine from
// a script of commands and checks. Exit 0: every check held; 1: a check
// failed (printed as "FAIL line N: ..."); 2: the script cannot be run.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <exception>

#include "Driver.h"
#include "Errors.h"
#include "Text.h"

using namespace uidriver;

namespace {

int Finish(Driver& driver, int status) {
  const int ended = EndStartedProcesses(driver);
  if (ended > 0) PrintLine("note: ended " + std::to_string(ended) + " process(es) still running");
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  // The harness reads the output as UTF-8 text with LF line ends.
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc != 2) {
    PrintLine("usage: uidriver SCRIPTFILE");
    return 2;
  }
  std::vector<Command> commands;
  try {
    commands = ReadScript(argv[1]);
  } catch (const ScriptError& error) {
    PrintLine("ERROR " + error.message);
    return 2;
  }

  Driver driver;
  const DWORD start = GetTickCount();
  for (const Command& command : commands) {
    const std::string where = "line " + std::to_string(command.line) + ": " + command.source;
    PrintLine(where);
    try {
      Run(driver, command);
    } catch (const Failure& failure) {
      PrintLine("FAIL " + where + ": expected " + failure.expected + ", saw " + failure.saw);
      return Finish(driver, 1);
    } catch (const ScriptError& error) {
      PrintLine("ERROR " + where + ": " + error.message);
      return Finish(driver, 2);
    } catch (const std::exception& error) {
      PrintLine("ERROR " + where + ": " + error.what());
      return Finish(driver, 2);
    }
  }
  PrintLine("PASS " + std::to_string(commands.size()) + " commands in " +
            std::to_string(GetTickCount() - start) + " ms");
  return Finish(driver, 0);
}
