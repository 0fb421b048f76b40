// The installer's registry records against a redirected HKEY_LOCAL_MACHINE:
// real registry calls on a fresh key under HKEY_CURRENT_USER, deleted at
// the end. Prints one line per failed check; exit 1 if any.
#include <windows.h>

#include <cstdio>
#include <string>

#include "framework/Handles.h"
#include "install/InstallFolder.h"
#include "install/RegistryRecords.h"
#include "tests/wine/probes/ProbeCheck.h"

namespace {

using probe::Check;

// Writes the first `count` bytes of `bytes` (all by default), so a test can
// store what the installer never would. Wine keeps a NUL that follows the
// data in memory; a longer `bytes` keeps it from adding one.
void SetRaw(const char* keyPath, const char* name, const std::string& bytes,
            size_t count = std::string::npos) {
  framework::ScopedRegistryKey key;
  ::RegCreateKeyA(HKEY_LOCAL_MACHINE, keyPath, key.Receive());
  ::RegSetValueExA(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(count == std::string::npos ? bytes.size() : count));
}

// The value's text up to its first NUL; "<missing>" when it cannot be read.
std::string Read(const char* keyPath, const char* name) {
  framework::ScopedRegistryKey key;
  if (::RegOpenKeyA(HKEY_LOCAL_MACHINE, keyPath, key.Receive()) != ERROR_SUCCESS) {
    return "<missing>";
  }
  char data[2048] = {};
  DWORD size = sizeof data - 1;
  if (::RegQueryValueExA(key.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                         &size) != ERROR_SUCCESS) {
    return "<missing>";
  }
  return data;
}

bool KeyExists(const char* keyPath) {
  framework::ScopedRegistryKey key;
  return ::RegOpenKeyA(HKEY_LOCAL_MACHINE, keyPath, key.Receive()) == ERROR_SUCCESS;
}

const char kEntry[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Parvane";
const char kProduct[] = "SOFTWARE\\Tavisk\\Parvane";
const char kControl[] = "SYSTEM\\CurrentControlSet\\Control";
const char kHiveList[] = "SYSTEM\\CurrentControlSet\\Control\\hivelist";
const char kSystemHive[] = "\\REGISTRY\\MACHINE\\SYSTEM";

void CheckRecords() {
  std::string folder;
  Check(!install::ReadInstallFolder(folder), "no product key: the folder cannot be read");

  // Without a hive list the entry is still written.
  framework::ScopedRegistryKey parent;
  ::RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                  parent.Receive());
  ::RegCreateKeyA(HKEY_LOCAL_MACHINE, kControl, parent.Receive());
  Check(install::WriteUninstallEntry("Parvane", "C:\\P\\ParvaneSetup.exe uninstall") == 1,
        "the entry is written without a hive list");
  Check(Read(kEntry, "UninstallString") == "C:\\P\\ParvaneSetup.exe uninstall",
        "UninstallString");
  Check(Read(kControl, "PSLastBootSystemRoot") == "<missing>",
        "no hive list, no PSLastBootSystemRoot");

  // The hive path is copied byte for byte, GBK and case as they are.
  const std::string hive = "\\Device\\HarddiskVolume2\\\xd6\xd0\xce\xc4\\SyStEm32\\config\\SYSTEM";
  SetRaw(kHiveList, kSystemHive, hive + '\0');
  install::WriteUninstallEntry("Parvane", "x");
  Check(Read(kControl, "PSLastBootSystemRoot") == hive, "PSLastBootSystemRoot copies the hive path");

  // A hive path that fills the whole 520-byte buffer: no overrun, and no
  // text longer than the buffer.
  SetRaw(kHiveList, kSystemHive, std::string(700, 'h'), 520);
  install::WriteUninstallEntry("Parvane", "x");
  Check(Read(kControl, "PSLastBootSystemRoot").size() <= 520,
        "an oversized hive path is never copied past the buffer");

  install::installFolder = "C:\\\xb2\xe2\xca\xd4 folder\\";
  Check(install::RegisterSkinControl() == 1, "RegisterSkinControl opens the product key");
  Check(install::ReadInstallFolder(folder) && folder == install::installFolder,
        "the folder reads back as written");
  Check(install::WriteProductKey("Parvane", "C:\\a\\parvane.exe", "C:\\a\\", "V", "C") == 1,
        "WriteProductKey");
  Check(Read(kProduct, "InstallPath") == "C:\\a\\parvane.exe" && Read(kProduct, "Ver") == "V",
        "the product key's values");
  Check(Read(kProduct, "install path") == install::installFolder,
        "Tavisk\\Parvane and Tavisk\\parvane are one key");

  // 259 bytes and a NUL fit; a value that fills 260 bytes without one is
  // no usable folder.
  const std::string longest = "C:\\" + std::string(255, 'f') + "\\";
  SetRaw(kProduct, "install path", longest + '\0');
  Check(install::ReadInstallFolder(folder) && folder == longest, "a 259-byte folder reads back");
  SetRaw(kProduct, "install path", std::string(300, 'g'), 260);
  Check(!install::ReadInstallFolder(folder), "a value without room for its NUL is unreadable");

  install::DeleteUninstallEntry();
  Check(!KeyExists(kEntry), "DeleteUninstallEntry deletes the entry");
  Check(KeyExists(kProduct), "the product key stays");
}

}  // namespace

int main() {
  char name[64];
  std::snprintf(name, sizeof name, "Software\\ParvaneRegistryProbe%lu", ::GetCurrentProcessId());
  framework::ScopedRegistryKey redirected;
  if (::RegCreateKeyA(HKEY_CURRENT_USER, name, redirected.Receive()) != ERROR_SUCCESS ||
      ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, redirected.Get()) != ERROR_SUCCESS) {
    std::printf("FAIL: HKEY_LOCAL_MACHINE cannot be redirected\n");
    return 1;
  }
  CheckRecords();
  ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
  redirected.Reset();
  ::RegDeleteTreeA(HKEY_CURRENT_USER, name);
  return probe::Finish();
}
