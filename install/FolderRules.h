// What the install sequence asks of the folder typed on the target page
// before it changes anything. Portable: tested natively with GBK.
#pragma once

#include <cstddef>
#include <string>

#include "install/InstallTexts.h"

namespace install {

enum class FolderProblem {
  kNone,
  kEmpty,
  kNotAbsolute,  // neither "X:\..." nor a UNC path "\\server\share..."
  kTooLong,      // some path formed below the folder would not fit MAX_PATH
};

// `longestEntryPath` is the longest folder name plus file name of the
// package's entries (0 when the directory cannot be read: the payload
// check reports that). The folder is measured as it will be used, with its
// trailing backslash.
FolderProblem CheckInstallFolder(const std::string& folderText, size_t longestEntryPath);

// The longest text the installation forms around the install folder: the
// uninstall command, "\"<folder>ParvaneSetup.exe\" uninstall" (two quotes and
// a blank around the setup program and its argument).
constexpr size_t kLongestFixedSuffix =
    sizeof("\"\" ") - 1 + sizeof(texts::kSetupProgramFile) - 1 + sizeof(texts::kUninstallArgument) - 1;

}  // namespace install
