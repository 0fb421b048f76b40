// What the uninstall entry of an installation holds, as Add/Remove Programs
// shows it, and the figures it derives from the texts and the package.
// Portable: tested natively; RegistryRecords writes it.
#pragma once

#include <cstdint>
#include <string>

namespace payload {
class PayloadReader;
}

namespace install {

struct UninstallEntry {
  std::string displayName;       // DisplayName
  std::string uninstallCommand;  // UninstallString: "<setup program>" uninstall
  std::string iconPath;          // DisplayIcon: the installed setup program
  std::string publisher;         // Publisher
  std::string versionNumber;     // DisplayVersion; left out when empty
  std::string installFolder;     // InstallLocation, with its final backslash
  uint32_t sizeKib = 0;          // EstimatedSize
};

// The entry of an installation into `folder` (ending in a backslash) from
// the package whose directory `reader` holds.
UninstallEntry MakeUninstallEntry(const std::string& folder, const payload::PayloadReader& reader);

// The first blank-separated word of `versionText` that begins with a digit
// ("2.0.0419" in "Parvane 2.0.0419 Released 20050527"); empty when none does.
std::string VersionNumberOf(const std::string& versionText);

// `bytes` in KiB, a partial KiB counted whole, at most 0xFFFFFFFF.
uint32_t KibRoundedUp(uint64_t bytes);

// What the package's files take once inflated, in KiB: the sum of the
// records' inflated sizes, a negative one counting as nothing.
uint32_t InstalledSizeKib(const payload::PayloadReader& reader);

}  // namespace install
