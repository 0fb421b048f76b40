#include "install/RegistryRecords.h"

#include <windows.h>

#include <cstring>

#include "framework/Handles.h"
#include "install/HelperPrograms.h"
#include "install/InstallFolder.h"

namespace install {
namespace {

using framework::ScopedRegistryKey;

const char kUninstallList[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kUninstallEntry[] = "Parvane";
const char kHiveList[] = "SYSTEM\\CurrentControlSet\\Control\\hivelist";
const char kSystemHive[] = "\\REGISTRY\\MACHINE\\SYSTEM";
const char kControl[] = "SYSTEM\\CurrentControlSet\\Control";
const char kSoftware[] = "SOFTWARE";
// One key: registry names ignore case.
const char kProductKey[] = "Tavisk\\Parvane";
const char kProductKeyAsRead[] = "Tavisk\\parvane";
const char kProductKeyFromRoot[] = "SOFTWARE\\Tavisk\\parvane";

// The text's bytes without its NUL, as REG_SZ.
void SetText(HKEY key, const char* name, const char* text, size_t length) {
  ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(length));
}

void SetText(HKEY key, const char* name, const std::string& text) {
  SetText(key, name, text.data(), text.size());
}

void SetNumber(HKEY key, const char* name, DWORD number) {
  ::RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof number);
}

// The running system's SYSTEM hive path goes beside the uninstall entry,
// byte for byte as the hive list holds it.
void CopySystemHivePath() {
  ScopedRegistryKey hiveList;
  if (::RegOpenKeyA(HKEY_LOCAL_MACHINE, kHiveList, hiveList.Receive()) != ERROR_SUCCESS) return;
  char path[520] = {};
  DWORD size = sizeof path;
  if (::RegQueryValueExA(hiveList.Get(), kSystemHive, nullptr, nullptr,
                         reinterpret_cast<BYTE*>(path), &size) != ERROR_SUCCESS) {
    return;
  }
  ScopedRegistryKey control;
  if (::RegOpenKeyA(HKEY_LOCAL_MACHINE, kControl, control.Receive()) != ERROR_SUCCESS) return;
  // A value that fills the buffer has no NUL in it: its text ends there.
  SetText(control.Get(), "PSLastBootSystemRoot", path, strnlen(path, sizeof path));
}

// Opens SOFTWARE and creates or opens `subkey` below it; closes SOFTWARE
// first, then the subkey, when `write` is done. False when either fails.
template <typename Write>
bool WriteBelowSoftware(const char* subkey, Write write) {
  ScopedRegistryKey software;
  if (::RegOpenKeyA(HKEY_LOCAL_MACHINE, kSoftware, software.Receive()) != ERROR_SUCCESS) {
    return false;
  }
  ScopedRegistryKey product;
  if (::RegCreateKeyA(software.Get(), subkey, product.Receive()) != ERROR_SUCCESS) return false;
  write(product.Get());
  software.Reset();
  product.Reset();
  return true;
}

}  // namespace

int WriteUninstallEntry(const UninstallEntry& values) {
  {
    ScopedRegistryKey list;
    if (::RegOpenKeyA(HKEY_LOCAL_MACHINE, kUninstallList, list.Receive()) != ERROR_SUCCESS) {
      return 0;
    }
    ScopedRegistryKey entry;
    if (::RegCreateKeyA(list.Get(), kUninstallEntry, entry.Receive()) != ERROR_SUCCESS) return 0;
    SetText(entry.Get(), "DisplayName", values.displayName);
    SetText(entry.Get(), "UninstallString", values.uninstallCommand);
    SetText(entry.Get(), "DisplayIcon", values.iconPath);
    SetText(entry.Get(), "Publisher", values.publisher);
    // An empty version would show as a blank column rather than none.
    if (!values.versionNumber.empty()) {
      SetText(entry.Get(), "DisplayVersion", values.versionNumber);
    }
    SetText(entry.Get(), "InstallLocation", values.installFolder);
    SetNumber(entry.Get(), "EstimatedSize", values.sizeKib);
    // The installer has no change or repair mode to offer.
    SetNumber(entry.Get(), "NoModify", 1);
    SetNumber(entry.Get(), "NoRepair", 1);
    list.Reset();
    entry.Reset();
  }
  CopySystemHivePath();
  return 1;
}

int WriteProductKey(const std::string& name, const std::string& programPath,
                    const std::string& folder, const std::string& version,
                    const std::string& company) {
  const bool written = WriteBelowSoftware(kProductKey, [&](HKEY key) {
    SetText(key, "Name", name);
    SetText(key, "Ver", version);
    SetText(key, "InstallPath", programPath);
    SetText(key, "InstallDir", folder);
    SetText(key, "company", company);
  });
  return written ? 1 : 0;
}

int RegisterSkinControl() {
  const std::string tool = RegistrationToolPath();
  if (!tool.empty()) {
    StartHidden(tool, "/s /i \"" + installFolder + "SkinCtl.ocx\"", nullptr);
  }
  const bool written = WriteBelowSoftware(kProductKeyAsRead, [](HKEY key) {
    SetText(key, "install path", installFolder);
  });
  return written ? 1 : 0;
}

bool ReadInstallFolder(std::string& folder) {
  ScopedRegistryKey product;
  if (::RegOpenKeyA(HKEY_LOCAL_MACHINE, kProductKeyFromRoot, product.Receive()) !=
      ERROR_SUCCESS) {
    return false;
  }
  char text[MAX_PATH] = {};
  DWORD size = sizeof text;
  if (::RegQueryValueExA(product.Get(), "install path", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS) {
    return false;
  }
  // A value that fills the whole buffer without a NUL is no usable path.
  const void* end = std::memchr(text, '\0', sizeof text);
  if (!end) return false;
  folder.assign(text, static_cast<size_t>(static_cast<const char*>(end) - text));
  return true;
}

void DeleteUninstallEntry() {
  ScopedRegistryKey list;
  if (::RegOpenKeyA(HKEY_LOCAL_MACHINE, kUninstallList, list.Receive()) != ERROR_SUCCESS) return;
  ::RegDeleteKeyA(list.Get(), kUninstallEntry);
}

}  // namespace install
