#include "folders/SystemFolders.h"

#include <windows.h>
#include <shlobj.h>

#include "framework/Handles.h"
#include "payload/NameRules.h"

namespace folders {
namespace {

// Both kinds of Program Files, the system folders, ProgramData, and the
// desktops and Start menus of the current user and of all users.
constexpr int kShellFolders[] = {
    CSIDL_WINDOWS,           CSIDL_SYSTEM,
    CSIDL_SYSTEMX86,         CSIDL_PROGRAM_FILES,
    CSIDL_PROGRAM_FILESX86,  CSIDL_PROGRAM_FILES_COMMON,
    CSIDL_PROGRAM_FILES_COMMONX86, CSIDL_COMMON_APPDATA,
    CSIDL_PROFILE,           CSIDL_APPDATA,
    CSIDL_LOCAL_APPDATA,     CSIDL_PERSONAL,
    CSIDL_COMMON_DOCUMENTS,  CSIDL_DESKTOPDIRECTORY,
    CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_STARTMENU,
    CSIDL_COMMON_STARTMENU,  CSIDL_PROGRAMS,
    CSIDL_COMMON_PROGRAMS,   CSIDL_STARTUP,
    CSIDL_COMMON_STARTUP,
};

// A 32-bit program on 64-bit Windows sees "Program Files (x86)" as its
// Program Files; the native one is only named in the environment.
constexpr const char* kEnvironmentFolders[] = {
    "SystemRoot", "windir",         "ProgramFiles",      "ProgramFiles(x86)",
    "ProgramW6432", "CommonProgramFiles", "CommonProgramW6432", "ProgramData",
    "ALLUSERSPROFILE", "PUBLIC",    "USERPROFILE",
};

constexpr char kProfileList[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

void AddShellFolder(std::vector<std::string>& folders, int id) {
  char path[MAX_PATH] = {};
  if (::SHGetSpecialFolderPathA(nullptr, path, id, FALSE) && path[0] != '\0') {
    folders.emplace_back(path);
  }
}

void AddEnvironmentFolder(std::vector<std::string>& folders, const char* name) {
  char path[MAX_PATH] = {};
  const DWORD length = ::GetEnvironmentVariableA(name, path, sizeof path);
  if (length > 0 && length < sizeof path) folders.emplace_back(path);
}

// A REG_SZ or REG_EXPAND_SZ value with its variables expanded; empty when
// missing or too long.
std::string ReadExpandedText(HKEY key, const char* name) {
  char raw[MAX_PATH] = {};
  DWORD size = sizeof raw - 1;
  if (::RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(raw), &size) !=
      ERROR_SUCCESS) {
    return std::string();
  }
  char expanded[MAX_PATH] = {};
  const DWORD length = ::ExpandEnvironmentStringsA(raw, expanded, sizeof expanded);
  if (length == 0 || length > sizeof expanded) return std::string();
  return expanded;
}

// The Users folder and the root of every profile the system knows.
void AddProfiles(ProtectedFolders& protectedFolders) {
  framework::ScopedRegistryKey list;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProfileList, 0, KEY_READ, list.Receive()) !=
      ERROR_SUCCESS) {
    return;
  }
  const std::string users = ReadExpandedText(list.Get(), "ProfilesDirectory");
  if (!users.empty()) {
    protectedFolders.folders.push_back(users);
    protectedFolders.profileParents.push_back(users);
  }
  for (const char* name : {"Default", "Public"}) {
    const std::string folder = ReadExpandedText(list.Get(), name);
    if (!folder.empty()) protectedFolders.folders.push_back(folder);
  }
  char subkey[MAX_PATH];
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof subkey;
    if (::RegEnumKeyExA(list.Get(), index, subkey, &length, nullptr, nullptr, nullptr,
                        nullptr) != ERROR_SUCCESS) {
      break;
    }
    framework::ScopedRegistryKey profile;
    if (::RegOpenKeyExA(list.Get(), subkey, 0, KEY_READ, profile.Receive()) != ERROR_SUCCESS) {
      continue;
    }
    const std::string folder = ReadExpandedText(profile.Get(), "ProfileImagePath");
    if (!folder.empty()) protectedFolders.folders.push_back(folder);
  }
}

// The folder that holds the current user's profile holds the others too.
void AddProfileParent(ProtectedFolders& protectedFolders) {
  char profile[MAX_PATH] = {};
  if (!::SHGetSpecialFolderPathA(nullptr, profile, CSIDL_PROFILE, FALSE)) return;
  std::string folder(profile);
  const std::vector<size_t> separators = payload::BackslashPositions(folder);
  if (separators.empty() || separators.back() < 3) return;
  folder.resize(separators.back());
  protectedFolders.folders.push_back(folder);
  protectedFolders.profileParents.push_back(folder);
}

}  // namespace

ProtectedFolders SystemProtectedFolders() {
  ProtectedFolders protectedFolders;
  for (int id : kShellFolders) AddShellFolder(protectedFolders.folders, id);
  for (const char* name : kEnvironmentFolders) AddEnvironmentFolder(protectedFolders.folders, name);
  AddProfiles(protectedFolders);
  AddProfileParent(protectedFolders);
  return protectedFolders;
}

}  // namespace folders
