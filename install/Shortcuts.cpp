#include "install/Shortcuts.h"

#include <shlobj.h>

#include "framework/Com.h"

namespace install {
namespace {

struct Shortcut {
  int baseFolder;  // CSIDL
  const char* path;
  bool setWorkingDirectory;
  bool setDescription;
};

constexpr Shortcut kShortcuts[] = {
    {CSIDL_COMMON_PROGRAMS, "\\Parvane\\Parvane.lnk", true, true},
    {CSIDL_COMMON_DESKTOPDIRECTORY, "\\Parvane.lnk", true, false},
    {CSIDL_APPDATA, "\\Microsoft\\Internet Explorer\\Quick Launch\\Parvane.lnk", false, true},
};

const char kDescription[] = "Parvane";

// A special folder followed by `tail`. False when the query fails or the
// path would not fit MAX_PATH with its NUL: no path is ever formed from an
// empty or cut buffer.
bool SpecialFolderPath(HWND owner, int folder, const char* tail, std::string& path) {
  char base[MAX_PATH] = {};
  if (!::SHGetSpecialFolderPathA(owner, base, folder, FALSE) || base[0] == '\0') return false;
  path = std::string(base) + tail;
  return path.size() < MAX_PATH;
}

// COM is initialised around each shortcut, so no COM state outlives it.
// The first failing step skips the rest; the interfaces are released
// (IPersistFile first) before COM is uninitialised.
void WriteShortcut(const Shortcut& shortcut, const std::string& linkPath,
                   const std::string& target, const std::string& installFolder) {
  framework::ScopedComInitialization com;
  framework::ComPtr<IShellLinkA> link;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.Receive()))) {
    return;
  }
  framework::ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.Receive()))) return;
  if (FAILED(link->SetPath(target.c_str()))) return;
  if (shortcut.setWorkingDirectory && FAILED(link->SetWorkingDirectory(installFolder.c_str()))) {
    return;
  }
  if (shortcut.setDescription && FAILED(link->SetDescription(kDescription))) return;
  wchar_t widePath[MAX_PATH];
  if (::MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath, MAX_PATH) == 0) return;
  file->Save(widePath, FALSE);
}

}  // namespace

int CreateShortcuts(HWND owner, const std::string& installFolder) {
  const std::string target = installFolder + "Parvane.exe";
  std::string startMenuFolder;
  if (SpecialFolderPath(owner, CSIDL_COMMON_PROGRAMS, "\\Parvane", startMenuFolder)) {
    ::CreateDirectoryA(startMenuFolder.c_str(), nullptr);
  }
  for (const Shortcut& shortcut : kShortcuts) {
    std::string linkPath;
    if (!SpecialFolderPath(owner, shortcut.baseFolder, shortcut.path, linkPath)) continue;
    WriteShortcut(shortcut, linkPath, target, installFolder);
  }
  return 1;
}

int DeleteShortcuts(HWND owner) {
  for (const Shortcut& shortcut : kShortcuts) {
    std::string linkPath;
    if (SpecialFolderPath(owner, shortcut.baseFolder, shortcut.path, linkPath)) {
      ::DeleteFileA(linkPath.c_str());
    }
  }
  return 1;
}

}  // namespace install
