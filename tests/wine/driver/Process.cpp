// The process under test: where and how it starts, and how it ends.
#include <windows.h>

#include "Driver.h"
#include "Errors.h"
#include "Text.h"

namespace uidriver {
namespace {

std::string ExitCodeText(DWORD code) {
  std::string text = "exit code " + std::to_string(code);
  if (code > 0xFFFF) {
    char hex[16];
    wsprintfA(hex, " (0x%08lx)", code);
    text += hex;
  }
  return text;
}

}  // namespace

std::string EndedText(HANDLE process, DWORD waitMs) {
  DWORD code = 0;
  if (WaitForSingleObject(process, waitMs) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process, &code)) {
    return {};
  }
  return "the process ended with " + ExitCodeText(code);
}

HANDLE TheProcess(const Driver& driver) {
  if (!driver.process) throw ScriptError{"no process started"};
  return driver.process.get();
}

void CdCommand(Driver& driver, const Command& command) { driver.workDir = command.args[0]; }

// The driver's own environment is what the next process inherits.
void EnvCommand(Driver&, const Command& command) {
  const std::wstring value = command.args.size() > 1 ? Wide(command.args[1]) : L"";
  if (!SetEnvironmentVariableW(Wide(command.args[0]).c_str(),
                               command.args.size() > 1 ? value.c_str() : nullptr)) {
    throw ScriptError{"cannot set " + command.args[0]};
  }
}

void StartCommand(Driver& driver, const Command& command) {
  // No inherited handles, and standard handles that are explicitly none:
  // without STARTF_USESTDHANDLES Wine hands the driver's own output to the
  // child, which (and whatever it starts) would keep the harness's log open.
  // Under Wine the child's Unix stderr still goes to the log, which keeps
  // its error messages next to the driver's.
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = startup.hStdOutput = startup.hStdError = INVALID_HANDLE_VALUE;
  PROCESS_INFORMATION started{};
  std::wstring commandLine = Wide(command.rest);  // CreateProcessW may write into it
  const std::wstring workDir = Wide(driver.workDir);
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      workDir.empty() ? nullptr : workDir.c_str(), &startup, &started)) {
    throw Failure{"a started process", "CreateProcess error " + std::to_string(GetLastError())};
  }
  CloseHandle(started.hThread);
  if (driver.process) driver.earlier.push_back(std::move(driver.process));
  driver.process.reset(started.hProcess);
  driver.processId = started.dwProcessId;
  driver.window = nullptr;
  driver.hooks.Detach();
  driver.textLogs.Clear();
}

void ExitCommand(Driver& driver, const Command& command) {
  const HANDLE process = TheProcess(driver);
  const auto expected = static_cast<DWORD>(ParseNumber(command.args[0]));
  const auto timeout =
      static_cast<DWORD>(command.args.size() > 1 ? ParseNumber(command.args[1]) : 15000);
  if (WaitForSingleObject(process, timeout) != WAIT_OBJECT_0) {
    throw Failure{ExitCodeText(expected), "still running after " + std::to_string(timeout) + " ms"};
  }
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  if (code != expected) throw Failure{ExitCodeText(expected), ExitCodeText(code)};
}

int EndStartedProcesses(Driver& driver) {
  if (driver.process) driver.earlier.push_back(std::move(driver.process));
  int ended = 0;
  for (const UniqueHandle& process : driver.earlier) {
    if (WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
      TerminateProcess(process.get(), 1);
      WaitForSingleObject(process.get(), 5000);
      ++ended;
    }
  }
  driver.earlier.clear();
  return ended;
}

}  // namespace uidriver
