// Stand-in for the installed product's main program: it says what it is and
// where it runs from, so that a person checking an installation, or a
// shortcut, sees at once which copy was started.
#include <windows.h>

#include "product/win32/HeapArray.h"
#include "product/win32/StandinLog.h"

namespace {

// GBK bytes: this file is compiled with -fexec-charset=GBK.
const char kCaption[] = "Parvane 替身程序";
const char kIntroduction[] =
    "这是已安装的 Parvane 产品的替身程序，不是真正的产品。\n"
    "它只用来检验安装程序的每一步。\n\n"
    "本程序的完整路径：\n";

// GetModuleFileNameA copies at most this many bytes; longer paths are cut.
constexpr DWORD kPathCapacity = 65536;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  AppendStandinLine({"Parvane.exe", GetCommandLineA()});

  HeapArray<char> text(sizeof kIntroduction + kPathCapacity);
  if (text.get() == nullptr) return 1;
  lstrcpyA(text.get(), kIntroduction);
  char* path = text.get() + lstrlenA(kIntroduction);
  if (GetModuleFileNameA(nullptr, path, kPathCapacity) == 0) lstrcpyA(path, "?");
  MessageBoxA(nullptr, text.get(), kCaption, MB_OK | MB_ICONINFORMATION);
  return 0;
}
