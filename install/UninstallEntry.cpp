#include "install/UninstallEntry.h"

#include <algorithm>

#include "install/InstallTexts.h"
#include "payload/PayloadReader.h"

namespace install {
namespace {

bool IsBlank(char byte) { return byte == ' ' || byte == '\t'; }

bool IsDigit(char byte) { return byte >= '0' && byte <= '9'; }

}  // namespace

UninstallEntry MakeUninstallEntry(const std::string& folder, const payload::PayloadReader& reader) {
  UninstallEntry entry;
  entry.displayName = texts::kProductName;
  entry.iconPath = folder + texts::kSetupProgramFile;
  // Quoted: Add/Remove Programs runs the command with raised rights, and an
  // unquoted path with blanks would let "C:\Program.exe" start first.
  entry.uninstallCommand = "\"" + entry.iconPath + "\" " + texts::kUninstallArgument;
  entry.publisher = texts::kCompany;
  entry.versionNumber = VersionNumberOf(texts::kVersion);
  entry.installFolder = folder;
  entry.sizeKib = InstalledSizeKib(reader);
  return entry;
}

// GBK trail bytes lie at 0x40 and above, so neither a blank nor a digit is
// ever the second half of a character: a byte-wise scan is safe.
std::string VersionNumberOf(const std::string& versionText) {
  size_t start = 0;
  while (start < versionText.size()) {
    while (start < versionText.size() && IsBlank(versionText[start])) ++start;
    size_t end = start;
    while (end < versionText.size() && !IsBlank(versionText[end])) ++end;
    if (end > start && IsDigit(versionText[start])) {
      return versionText.substr(start, end - start);
    }
    start = end;
  }
  return std::string();
}

uint32_t KibRoundedUp(uint64_t bytes) {
  // Divided before rounding, so the largest sums cannot wrap.
  const uint64_t kib = bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0);
  return static_cast<uint32_t>(std::min<uint64_t>(kib, UINT32_MAX));
}

uint32_t InstalledSizeKib(const payload::PayloadReader& reader) {
  uint64_t bytes = 0;
  for (int32_t index = 0; index < reader.GetEntryCount(); ++index) {
    const int32_t size = reader.GetRecord(index).inflatedSize;
    if (size > 0) bytes += static_cast<uint64_t>(size);
  }
  return KibRoundedUp(bytes);
}

}  // namespace install
