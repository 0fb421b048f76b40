#include "install/FolderBrowser.h"

#include <shlobj.h>

#include "framework/Com.h"
#include "framework/ScreenText.h"

namespace install {

int FolderBrowser::Browse(HWND owner) {
  framework::ComPtr<IMalloc> allocator;
  if (FAILED(::SHGetMalloc(reinterpret_cast<IMalloc**>(allocator.Receive())))) return 0;

  char displayName[MAX_PATH];
  BROWSEINFOA info = {};
  info.hwndOwner = owner;
  info.pidlRoot = nullptr;  // start at the desktop
  info.pszDisplayName = displayName;
  info.lpszTitle = "";
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;
  info.lpfn = Callback;
  info.lParam = reinterpret_cast<LPARAM>(this);
  LPITEMIDLIST item = ::SHBrowseForFolderA(&info);
  if (!item) return 0;

  char path[MAX_PATH] = {};
  const BOOL hasPath = ::SHGetPathFromIDListA(item, path);
  allocator->Free(item);
  if (!hasPath) return 0;
  selectedPath = path;
  return 1;
}

int CALLBACK FolderBrowser::Callback(HWND browser, UINT message, LPARAM, LPARAM data) {
  const auto* self = reinterpret_cast<const FolderBrowser*>(data);
  if (message == BFFM_INITIALIZED) {
    if (!self->caption.empty()) {
      ::SetWindowTextW(browser, framework::ScreenText(self->caption).c_str());
    }
  } else if (message == BFFM_SELCHANGED) {
    // Every selection may be confirmed; one without a file-system path then
    // makes Browse return 0.
    ::SendMessageA(browser, BFFM_ENABLEOK, 0, TRUE);
  }
  return 0;
}

}  // namespace install
