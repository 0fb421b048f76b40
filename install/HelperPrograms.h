// Starts of the programs the installation leaves behind: the driver
// installer and the system's registration tool for the control. Every
// start is hidden and never waited for; a failed start is silent.
#pragma once

#include <string>

namespace install {

// "<install folder>InstallGuardDrv.exe install", working in the install
// folder. Returns 1.
int RunDriverInstaller();

// "<folder>InstallGuardDrv.exe uninstall", working directory the global
// install folder (empty in uninstall mode). Returns 1.
int RunDriverUninstaller(const std::string& folder);

// Starts the program `file` with `parameters` in `workingDirectory` (none
// when null), hidden.
void StartHidden(const std::string& file, const std::string& parameters,
                 const char* workingDirectory);

// The registration tool by its full path in the system folder; empty when
// the system folder cannot be found.
std::string RegistrationToolPath();

}  // namespace install
