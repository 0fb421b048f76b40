// Checks the handle and COM owners against the real system: every handle
// closed exactly once, moves that leave the source empty, and COM
// initialisations balanced. Prints one line per failed check; exit 1 if any.
#include <windows.h>

#include <cstdio>
#include <string>

#include "framework/Com.h"
#include "framework/Handles.h"
#include "framework/ResourceText.h"
#include "tests/wine/probes/ProbeCheck.h"

namespace {

using probe::Check;

bool IsOpenHandle(HANDLE handle) {
  DWORD flags;
  return ::GetHandleInformation(handle, &flags) != FALSE;
}

HANDLE OpenTempFile(const std::string& path) {
  return ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

void CheckFileHandles(const std::string& folder) {
  HANDLE raw = OpenTempFile(folder + "handles_a.tmp");
  {
    framework::ScopedFileHandle file(raw);
    Check(file.IsValid() && IsOpenHandle(raw), "a new file handle is open");
    framework::ScopedFileHandle moved(std::move(file));
    Check(!file.IsValid() && moved.Get() == raw, "a move leaves the source empty");
    framework::ScopedFileHandle assigned;
    assigned = std::move(moved);
    Check(IsOpenHandle(raw), "moving does not close");
  }
  Check(!IsOpenHandle(raw), "the owner closes its file handle");

  HANDLE first = OpenTempFile(folder + "handles_b.tmp");
  HANDLE second = OpenTempFile(folder + "handles_c.tmp");
  framework::ScopedFileHandle file(first);
  file.Reset(second);
  Check(!IsOpenHandle(first) && IsOpenHandle(second), "Reset closes the old handle only");
  HANDLE released = file.Release();
  Check(!file.IsValid() && IsOpenHandle(released), "Release gives the handle up open");
  ::CloseHandle(released);

  framework::ScopedFileHandle failed(OpenTempFile(folder + "no\\such\\folder\\x.tmp"));
  Check(!failed.IsValid(), "INVALID_HANDLE_VALUE counts as no handle");
}

void CheckFindAndKeyHandles(const std::string& folder) {
  WIN32_FIND_DATAA data;
  framework::ScopedFindHandle search(::FindFirstFileA((folder + "*").c_str(), &data));
  Check(search.IsValid(), "a search of the temp folder starts");
  HANDLE raw = search.Get();
  search.Reset();
  Check(::FindNextFileA(raw, &data) == FALSE, "the owner ends its search");

  framework::ScopedRegistryKey key;
  Check(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, key.Receive()) ==
            ERROR_SUCCESS && key.IsValid(),
        "Receive lets RegOpenKeyExA fill the key");
  HKEY rawKey = key.Get();
  key.Reset();
  DWORD subkeys = 0;
  Check(::RegQueryInfoKeyA(rawKey, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                           nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS,
        "the owner closes its registry key");
  framework::ScopedRegistryKey none;
  Check(!none.IsValid() && none.Get() == nullptr, "a key owner starts empty (NULL)");
}

// An object that counts its references, to see ComPtr release exactly once.
class CountedObject : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  ULONG references = 1;
};

void CheckCom() {
  CountedObject object;
  {
    framework::ComPtr<IUnknown> pointer;
    *pointer.Receive() = &object;
    framework::ComPtr<IUnknown> moved(std::move(pointer));
    Check(!pointer && moved.Get() == &object, "a moved interface pointer leaves the source empty");
  }
  Check(object.references == 0, "the interface pointer is released exactly once");

  {
    framework::ScopedComInitialization outer;
    Check(outer.Result() == S_OK, "the first initialisation gives S_OK");
    {
      framework::ScopedComInitialization inner;
      Check(inner.Result() == S_FALSE && inner.Succeeded(), "a nested one gives S_FALSE");
    }
  }
  // Balanced: the library is uninitialised again, so a new call gives S_OK.
  const HRESULT again = ::CoInitialize(nullptr);
  Check(again == S_OK, "every successful initialisation was balanced");
  if (SUCCEEDED(again)) ::CoUninitialize();
}

void CheckStringTable() {
  Check(framework::LoadResourceString(4711).empty(), "a missing string is an empty text");
}

}  // namespace

int main() {
  char folder[MAX_PATH];
  ::GetTempPathA(sizeof folder, folder);
  CheckFileHandles(folder);
  CheckFindAndKeyHandles(folder);
  CheckCom();
  CheckStringTable();
  return probe::Finish();
}
