// Stand-in for the product's skin control, which the installer registers
// and unregisters through regsvr32. Every entry point records its call and
// succeeds, so a test can see which ones ran, in what order and where.
#include <windows.h>

#include "product/win32/HeapArray.h"
#include "product/win32/StandinLog.h"

namespace {

const char kModule[] = "SkinCtl.ocx";

}  // namespace

extern "C" {

__declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() {
  AppendStandinLine({kModule, "DllRegisterServer"});
  return S_OK;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
  AppendStandinLine({kModule, "DllUnregisterServer"});
  return S_OK;
}

// regsvr32 passes the text of /i:"..." here, or an empty string for /i.
__declspec(dllexport) HRESULT STDAPICALLTYPE DllInstall(BOOL install, LPCWSTR commandLine) {
  const wchar_t* text = commandLine != nullptr ? commandLine : L"";
  const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  HeapArray<char> ansi(size > 0 ? static_cast<size_t>(size) : 1);
  if (ansi.get() != nullptr && size > 0) {
    WideCharToMultiByte(CP_ACP, 0, text, -1, ansi.get(), size, nullptr, nullptr);
  }
  AppendStandinLine({kModule, "DllInstall", install ? "install=1" : "install=0",
                     ansi.get() != nullptr ? ansi.get() : ""});
  return S_OK;
}

}  // extern "C"
