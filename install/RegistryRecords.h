// The registry records of an installation under HKEY_LOCAL_MACHINE, texts
// as REG_SZ written through the ANSI functions: the uninstall entry, the
// product key, the "install path" value that uninstall mode reads back,
// and a copy of the running system's SYSTEM hive path. Every failure is
// silent; every key opened is closed.
#pragma once

#include <string>

#include "install/UninstallEntry.h"

namespace install {

// The uninstall entry's values, DisplayName and UninstallString first, then
// DisplayIcon, Publisher, DisplayVersion (unless the number is empty),
// InstallLocation, and as REG_DWORD EstimatedSize, NoModify and NoRepair
// (both 1); then PSLastBootSystemRoot. Values already in the entry that it
// does not write stay. 1 when the entry was opened or created, else 0.
int WriteUninstallEntry(const UninstallEntry& entry);

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

// Deletes the uninstall entry with all its values; failures are ignored.
void DeleteUninstallEntry();

}  // namespace install
