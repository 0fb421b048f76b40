#include "product/win32/StandinLog.h"

#include <windows.h>

#include "framework/Handles.h"
#include "product/win32/HeapArray.h"

namespace {

const wchar_t kLogVariable[] = L"PARVANE_STANDIN_LOG";

// The longest value an environment variable can hold, with its terminator.
constexpr DWORD kVariableCapacity = 32768;
// The longest current directory in ANSI bytes: 32767 characters of up to
// two bytes each, with the terminator.
constexpr DWORD kFolderCapacity = 65536;

char* Append(char* out, const char* text, int length) {
  CopyMemory(out, text, length);
  return out + length;
}

}  // namespace

void AppendStandinLine(std::initializer_list<const char*> fields) {
  // The wide call on purpose: Wine 8's GetEnvironmentVariableA returns a
  // short copy of GBK values, and a log path may well hold Chinese folders.
  HeapArray<wchar_t> logPath(kVariableCapacity);
  if (logPath.get() == nullptr) return;
  const DWORD pathLength = GetEnvironmentVariableW(kLogVariable, logPath.get(), kVariableCapacity);
  if (pathLength == 0 || pathLength >= kVariableCapacity) return;

  HeapArray<char> folder(kFolderCapacity);
  if (folder.get() == nullptr) return;
  const DWORD folderResult = GetCurrentDirectoryA(kFolderCapacity, folder.get());
  if (folderResult == 0 || folderResult >= kFolderCapacity) folder.get()[0] = '\0';
  // Measured, not taken from the result: Wine 8 returns wrong lengths from
  // other A functions on GBK text.
  const int folderLength = lstrlenA(folder.get());

  size_t lineLength = static_cast<size_t>(folderLength) + 2;
  for (const char* field : fields) lineLength += static_cast<size_t>(lstrlenA(field)) + 1;
  HeapArray<char> line(lineLength);
  if (line.get() == nullptr) return;
  char* end = line.get();
  for (const char* field : fields) {
    end = Append(end, field, lstrlenA(field));
    *end++ = '\t';
  }
  end = Append(end, folder.get(), folderLength);
  end = Append(end, "\r\n", 2);

  framework::ScopedFileHandle log(CreateFileW(logPath.get(), FILE_APPEND_DATA,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!log.IsValid()) return;
  DWORD written = 0;
  WriteFile(log.Get(), line.get(), static_cast<DWORD>(end - line.get()), &written, nullptr);
}
