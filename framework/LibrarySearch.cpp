#include "framework/LibrarySearch.h"

#include <windows.h>

namespace framework {

void RestrictLibrarySearch() {
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  // Looked up at run time: the function came with an update to Windows 7 and
  // a static import would stop the program from starting without it.
  HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  ::SetDllDirectoryA("");
}

}  // namespace framework
