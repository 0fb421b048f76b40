#include "install/HelperPrograms.h"

#include <windows.h>
#include <shellapi.h>

#include "install/InstallFolder.h"

namespace install {

void StartHidden(const std::string& file, const std::string& parameters,
                 const char* workingDirectory) {
  ::ShellExecuteA(nullptr, "open", file.c_str(), parameters.c_str(), workingDirectory, SW_HIDE);
}

int RunDriverInstaller() {
  StartHidden(installFolder + "InstallGuardDrv.exe", "install", installFolder.c_str());
  return 1;
}

int RunDriverUninstaller(const std::string& folder) {
  StartHidden(folder + "InstallGuardDrv.exe", "uninstall", installFolder.c_str());
  return 1;
}

// By a bare name the shell would look in the current folder too, and an
// installer is often started from a downloads folder full of strangers'
// files.
std::string RegistrationToolPath() {
  char system[MAX_PATH];
  const UINT length = ::GetSystemDirectoryA(system, sizeof system);
  if (length == 0 || length >= sizeof system) return std::string();
  return std::string(system, length) + "\\RegSvr32.exe";
}

}  // namespace install
