// Stands for a system DLL of the same name that someone left in a downloads
// folder beside the installer (the test copies it to COMCTL32.DLL). Being
// loaded at all is the fault, so it says so as it is loaded: one line, its
// own path and the program's, appended to the file PLANTED_DLL_LOG names.
// Of what it stands for it exports only InitCommonControls, which does
// nothing: enough for a program that imports just that to start with the
// planted copy and run its DllMain. A program that imports more of it does
// not start at all.
#include <windows.h>

namespace {

void AppendLine(const char* logPath, HINSTANCE self) {
  char dll[MAX_PATH] = {};
  char program[MAX_PATH] = {};
  ::GetModuleFileNameA(self, dll, sizeof dll);
  ::GetModuleFileNameA(nullptr, program, sizeof program);
  char line[2 * MAX_PATH + 16];
  const int length = ::wsprintfA(line, "%s\t%s\r\n", dll, program);
  HANDLE file = ::CreateFileA(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
  ::CloseHandle(file);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  // Not GetEnvironmentVariableA's length: Wine 8 gets it wrong for some
  // values; the buffer is zeroed and one byte longer than it is told.
  char logPath[MAX_PATH + 1] = {};
  if (::GetEnvironmentVariableA("PLANTED_DLL_LOG", logPath, MAX_PATH) > 0 && logPath[0] != '\0') {
    AppendLine(logPath, self);
  }
  return TRUE;
}

extern "C" __declspec(dllexport) void WINAPI InitCommonControls() {}
