// Whether the folder typed on the target page is one to install into,
// asked when Install is pressed and before anything changes. The
// uninstaller removes everything below the install folder, so the folder
// must be the installation's own: no drive or share root, no folder of the
// system or of a user, and nothing in it that the package does not bring,
// unless it is where the recorded installation already lives.
#include <windows.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "folders/OwnedFolders.h"
#include "folders/SystemFolders.h"
#include "framework/ResourceText.h"
#include "install/FolderRules.h"
#include "install/ForeignEntries.h"
#include "install/InstallTexts.h"
#include "install/RegistryRecords.h"
#include "install/TargetPage.h"

namespace install {
namespace {

// Folder name plus file name of every entry; none when the directory cannot
// be read (the payload check that follows reports that).
std::vector<std::string> EntryPaths(payload::PayloadReader& reader) {
  std::vector<std::string> paths;
  if (reader.ReadDirectory(reader.GetExecutablePath()) != payload::PAYLOAD_OK) return paths;
  for (int32_t index = 0; index < reader.GetEntryCount(); ++index) {
    const payload::DirectoryRecord& record = reader.GetRecord(index);
    paths.push_back(record.folderName + record.fileName);
  }
  return paths;
}

// Lines of a message box: the program's own texts, and the folders as the
// system names them.
framework::ScreenText Lines(std::initializer_list<framework::ScreenText> lines) {
  framework::ScreenText text;
  for (const framework::ScreenText& line : lines) {
    if (!text.Empty()) text.Own("\r\n");
    text.Add(line);
  }
  return text;
}

size_t LongestOf(const std::vector<std::string>& paths) {
  size_t longest = 0;
  for (const std::string& path : paths) longest = std::max(longest, path.size());
  return longest;
}

const char* ShapeProblem(const std::string& folder, size_t longestEntryPath) {
  switch (CheckInstallFolder(folder, longestEntryPath)) {
    case FolderProblem::kNone:
      return nullptr;
    case FolderProblem::kEmpty:
      return texts::kFolderEmpty;
    case FolderProblem::kNotAbsolute:
      return texts::kFolderNotAbsolute;
    case FolderProblem::kTooLong:
      return texts::kFolderTooLong;
  }
  return nullptr;
}

// Why no installation may own `folder`; empty when one may.
framework::ScreenText OwnershipProblem(const std::string& folder) {
  const char* why = nullptr;
  switch (folders::CheckOwnableFolder(folder, folders::SystemProtectedFolders()).refusal) {
    case folders::FolderRefusal::kNone:
      return framework::ScreenText();
    case folders::FolderRefusal::kEmpty:
      return texts::kFolderEmpty;
    case folders::FolderRefusal::kNotAbsolute:
      return texts::kFolderNotAbsolute;
    case folders::FolderRefusal::kDriveRoot:
      why = texts::kFolderIsDriveRoot;
      break;
    case folders::FolderRefusal::kShareRoot:
      why = texts::kFolderIsShareRoot;
      break;
    case folders::FolderRefusal::kProtectedFolder:
      why = texts::kFolderIsSystemFolder;
      break;
  }
  return Lines({why, framework::ScreenText::FromSystem(folder), texts::kFolderMustBeOwn});
}

// What the folder holds that the package does not bring; empty when
// nothing, or when the recorded installation lives there: a reinstall over
// it keeps what the product has written since.
framework::ScreenText ForeignFilesProblem(const std::string& folder,
                                          const std::vector<std::string>& entryPaths) {
  if (entryPaths.empty()) return framework::ScreenText();
  std::string recorded;
  if (ReadInstallFolder(recorded) && folders::IsSameFolder(recorded, folder)) {
    return framework::ScreenText();
  }
  const std::string foreign = FindForeignEntry(folder, entryPaths);
  if (foreign.empty()) return framework::ScreenText();
  // The folder as typed, then the product's own folder name below it.
  std::string ownFolder = folder;
  payload::PayloadReader::AddTrailingBackslash(ownFolder);
  return Lines({texts::kFolderHoldsOthers, framework::ScreenText::FromSystem(foreign),
                texts::kChooseEmptyFolder,
                framework::ScreenText::FromSystem(ownFolder).Own(texts::kProductFolder)});
}

}  // namespace

// A folder the installation cannot use gets a message, and the page stays
// as it is, with the text as typed.
bool TargetPage::AcceptFolder(const std::string& folder) {
  const std::vector<std::string> entryPaths = EntryPaths(reader_);
  framework::ScreenText problem;
  if (const char* shape = ShapeProblem(folder, LongestOf(entryPaths))) {
    problem = shape;
  } else {
    problem = OwnershipProblem(folder);
    if (problem.Empty()) problem = ForeignFilesProblem(folder, entryPaths);
  }
  if (problem.Empty()) return true;
  MessageBox(problem, framework::LoadResourceString(IDS_INSTALL_CAPTION),
             MB_OK | MB_ICONINFORMATION);
  return false;
}

}  // namespace install
