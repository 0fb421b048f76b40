// The registry records of an installation, all REG_SZ under
// HKEY_LOCAL_MACHINE, written through the ANSI functions: the uninstall
// entry, the product key, the "install path" value that uninstall mode
// reads back, and a copy of the running system's SYSTEM hive path. Every
// failure is silent; every key opened is closed.
#pragma once

#include <string>

namespace install {

// The uninstall entry (DisplayName, UninstallString) and
// PSLastBootSystemRoot. 1 when the entry was opened or created, else 0.
int WriteUninstallEntry(const std::string& displayName, const std::string& uninstallCommand);

// The product key's Name, Ver, InstallPath, InstallDir and company. 1 when
// the key was opened or created, else 0.
int WriteProductKey(const std::string& name, const std::string& programPath,
                    const std::string& folder, const std::string& version,
                    const std::string& company);

// Starts the registration of the control in the install folder, then
// records the install folder as "install path". 1 when the product key was
// opened or created, else 0.
int RegisterSkinControl();

// The install folder recorded as "install path"; false when the key or the
// value is missing or the value does not fit 260 bytes with its NUL.
bool ReadInstallFolder(std::string& folder);

// Deletes the uninstall entry; failures are ignored.
void DeleteUninstallEntry();

}  // namespace install
