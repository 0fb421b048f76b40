// The installer's registry records against a redirected HKEY_LOCAL_MACHINE:
// real registry calls on a fresh key under HKEY_CURRENT_USER, deleted at
// the end, and each value as the installer passed it to RegSetValueExA.
// Prints one line per failed check; exit 1 if any.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "install/InstallFolder.h"
#include "install/RegistryRecords.h"
#include "install/UninstallEntry.h"
#include "tests/wine/probes/ProbeCheck.h"
#include "tests/wine/probes/SetValueLog.h"

namespace {

using probe::Check;

void Check(bool condition, const std::string& what) { Check(condition, what.c_str()); }

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

struct Stored {
  bool found = false;
  DWORD type = REG_NONE;
  std::string bytes;
};

// The value's type and every byte the registry holds for it.
Stored ReadStored(const char* keyPath, const char* name) {
  Stored value;
  framework::ScopedRegistryKey key;
  if (::RegOpenKeyA(HKEY_LOCAL_MACHINE, keyPath, key.Receive()) != ERROR_SUCCESS) return value;
  char data[2048];
  DWORD size = sizeof data;
  if (::RegQueryValueExA(key.Get(), name, nullptr, &value.type, reinterpret_cast<BYTE*>(data),
                         &size) != ERROR_SUCCESS) {
    return value;
  }
  value.found = true;
  value.bytes.assign(data, size);
  return value;
}

DWORD ValueCount(const char* keyPath) {
  framework::ScopedRegistryKey key;
  DWORD count = 0;
  if (::RegOpenKeyA(HKEY_LOCAL_MACHINE, keyPath, key.Receive()) != ERROR_SUCCESS ||
      ::RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &count, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return 0;
  }
  return count;
}

bool KeyExists(const char* keyPath) {
  framework::ScopedRegistryKey key;
  return ::RegOpenKeyA(HKEY_LOCAL_MACHINE, keyPath, key.Receive()) == ERROR_SUCCESS;
}

const char kUninstallList[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kEntry[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Parvane";
const char kProduct[] = "SOFTWARE\\Tavisk\\Parvane";
const char kControl[] = "SYSTEM\\CurrentControlSet\\Control";
const char kHiveList[] = "SYSTEM\\CurrentControlSet\\Control\\hivelist";
const char kSystemHive[] = "\\REGISTRY\\MACHINE\\SYSTEM";

install::UninstallEntry SampleEntry() {
  const std::string folder = "C:\\\xb2\xe2\xca\xd4 folder\\";
  install::UninstallEntry entry;
  entry.displayName = "Parvane";
  entry.uninstallCommand = folder + "ParvaneSetup.exe uninstall";
  entry.iconPath = folder + "ParvaneSetup.exe";
  entry.publisher = "Corvantis";
  entry.versionNumber = "2.0.0419";
  entry.installFolder = folder;
  // Four different bytes and the top bit set: a swapped or cut number shows.
  entry.sizeKib = 0x89ABCDEF;
  return entry;
}

std::string DwordBytes(DWORD number) {
  return std::string(reinterpret_cast<const char*>(&number), sizeof number);
}

struct ExpectedValue {
  const char* name;
  DWORD type;
  std::string data;  // as passed: a text without its NUL
};

// The entry's values in the order they must be written.
std::vector<ExpectedValue> ValuesOf(const install::UninstallEntry& entry) {
  std::vector<ExpectedValue> values = {
      {"DisplayName", REG_SZ, entry.displayName},
      {"UninstallString", REG_SZ, entry.uninstallCommand},
      {"DisplayIcon", REG_SZ, entry.iconPath},
      {"Publisher", REG_SZ, entry.publisher},
      {"DisplayVersion", REG_SZ, entry.versionNumber},
      {"InstallLocation", REG_SZ, entry.installFolder},
      {"EstimatedSize", REG_DWORD, DwordBytes(entry.sizeKib)},
      {"NoModify", REG_DWORD, DwordBytes(1)},
      {"NoRepair", REG_DWORD, DwordBytes(1)},
  };
  if (entry.versionNumber.empty()) values.erase(values.begin() + 4);
  return values;
}

std::string Describe(const probe::SetValueCall& call) {
  return call.name + " (type " + std::to_string(call.type) + ", " +
         std::to_string(call.data.size()) + " bytes)";
}

// Written by one call each, in order, with exactly their bytes; stored with
// their type, a text followed by at most the NUL the system adds; and no
// other value in the entry.
void CheckWritten(probe::SetValueLog& log, const std::vector<ExpectedValue>& values,
                  const std::string& what) {
  const std::vector<probe::SetValueCall> calls = log.Take();
  if (log.Active()) {
    Check(calls.size() == values.size(),
          what + ": " + std::to_string(calls.size()) + " values written, not " +
              std::to_string(values.size()));
    for (size_t i = 0; i < values.size() && i < calls.size(); ++i) {
      const ExpectedValue& value = values[i];
      Check(calls[i].name == value.name && calls[i].type == value.type &&
                calls[i].data == value.data,
            what + ": write " + std::to_string(i + 1) + " should pass " + value.name + " (" +
                std::to_string(value.data.size()) + " bytes), passed " + Describe(calls[i]));
    }
  }
  for (const ExpectedValue& value : values) {
    const Stored stored = ReadStored(kEntry, value.name);
    const bool bytesMatch = stored.bytes == value.data ||
                            (value.type == REG_SZ && stored.bytes == value.data + '\0');
    Check(stored.found && stored.type == value.type && bytesMatch,
          what + ": " + value.name + " stored as type " + std::to_string(stored.type) + ", " +
              std::to_string(stored.bytes.size()) + " bytes");
  }
  Check(ValueCount(kEntry) == values.size(),
        what + ": the entry holds " + std::to_string(ValueCount(kEntry)) + " values");
}

void CheckUninstallEntry(probe::SetValueLog& log) {
  Check(log.Active(), "RegSetValueExA calls cannot be recorded");
  Check(install::WriteUninstallEntry(SampleEntry()) == 0 && !KeyExists(kEntry),
        "without the uninstall list the result is 0 and no entry is made");
  Check(log.Take().empty(), "without the uninstall list no value is written");

  framework::ScopedRegistryKey list;
  ::RegCreateKeyA(HKEY_LOCAL_MACHINE, kUninstallList, list.Receive());
  Check(install::WriteUninstallEntry(SampleEntry()) == 1, "the entry is created: 1");
  CheckWritten(log, ValuesOf(SampleEntry()), "a new entry");

  // Written over an entry that has every value: the same values, none twice.
  Check(install::WriteUninstallEntry(SampleEntry()) == 1, "the entry is opened again: 1");
  CheckWritten(log, ValuesOf(SampleEntry()), "an existing entry");

  install::UninstallEntry noVersion = SampleEntry();
  noVersion.versionNumber.clear();
  ::RegDeleteKeyA(list.Get(), "Parvane");
  install::WriteUninstallEntry(noVersion);
  CheckWritten(log, ValuesOf(noVersion), "no version number");
  Check(!ReadStored(kEntry, "DisplayVersion").found, "an empty version number is not written");

  install::WriteUninstallEntry(SampleEntry());
  install::DeleteUninstallEntry();
  Check(!KeyExists(kEntry), "DeleteUninstallEntry deletes the entry");
  for (const ExpectedValue& value : ValuesOf(SampleEntry())) {
    Check(!ReadStored(kEntry, value.name).found,
          std::string("DeleteUninstallEntry leaves ") + value.name);
  }
}

void CheckRecords() {
  std::string folder;
  Check(!install::ReadInstallFolder(folder), "no product key: the folder cannot be read");

  // Without a hive list the entry is still written.
  framework::ScopedRegistryKey parent;
  ::RegCreateKeyA(HKEY_LOCAL_MACHINE, kUninstallList, parent.Receive());
  ::RegCreateKeyA(HKEY_LOCAL_MACHINE, kControl, parent.Receive());
  install::UninstallEntry entry = SampleEntry();
  entry.uninstallCommand = "C:\\P\\ParvaneSetup.exe uninstall";
  Check(install::WriteUninstallEntry(entry) == 1, "the entry is written without a hive list");
  Check(Read(kEntry, "UninstallString") == "C:\\P\\ParvaneSetup.exe uninstall",
        "UninstallString");
  Check(Read(kControl, "PSLastBootSystemRoot") == "<missing>",
        "no hive list, no PSLastBootSystemRoot");

  // The hive path is copied byte for byte, GBK and case as they are.
  const std::string hive = "\\Device\\HarddiskVolume2\\\xd6\xd0\xce\xc4\\SyStEm32\\config\\SYSTEM";
  SetRaw(kHiveList, kSystemHive, hive + '\0');
  install::WriteUninstallEntry(entry);
  Check(Read(kControl, "PSLastBootSystemRoot") == hive, "PSLastBootSystemRoot copies the hive path");

  // A hive path that fills the whole 520-byte buffer: no overrun, and no
  // text longer than the buffer.
  SetRaw(kHiveList, kSystemHive, std::string(700, 'h'), 520);
  install::WriteUninstallEntry(entry);
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
  {
    probe::SetValueLog log;
    CheckUninstallEntry(log);
  }
  CheckRecords();
  ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
  redirected.Reset();
  ::RegDeleteTreeA(HKEY_CURRENT_USER, name);
  return probe::Finish();
}
