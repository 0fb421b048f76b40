// The removal, run inside the uninstall dialog's OK command: shortcuts,
// uninstall entry, driver, then the installed tree. Every step is tried
// whatever the one before it did; none reports a failure of its own. The
// product key stays, so a later run finds the folder again.
#include "folders/OwnedFolders.h"
#include "folders/SystemFolders.h"
#include "install/HelperPrograms.h"
#include "install/RegistryRecords.h"
#include "install/Shortcuts.h"
#include "payload/PayloadReader.h"
#include "uninstall/RemovalRules.h"
#include "uninstall/TreeRemoval.h"
#include "uninstall/UninstallDialog.h"
#include "uninstall/UninstallTexts.h"

namespace uninstall {
namespace {

constexpr int kPositionEntryDeleted = 40;
constexpr int kPositionDriverStarted = 60;
constexpr int kPositionTreeReported = 100;

// Why the walk did not start, for the status line.
framework::ScreenText RefusalText(const folders::FolderCheck& check, const std::string& folder) {
  switch (check.refusal) {
    case folders::FolderRefusal::kNone:
      break;
    case folders::FolderRefusal::kEmpty:
      return texts::kNotRemovedEmpty;
    case folders::FolderRefusal::kNotAbsolute:
      return framework::ScreenText(texts::kNotRemovedNotAbsolute).System(folder);
    case folders::FolderRefusal::kDriveRoot:
      return framework::ScreenText(texts::kNotRemovedDriveRoot).System(folder);
    case folders::FolderRefusal::kShareRoot:
      return framework::ScreenText(texts::kNotRemovedShareRoot).System(folder);
    case folders::FolderRefusal::kProtectedFolder:
      return framework::ScreenText(texts::kNotRemovedProtected).System(check.protectedFolder);
  }
  return framework::ScreenText();
}

// Without a drive or server in the recorded folder, the system would look
// for the driver installer in the current folder and along the search
// path, where anybody may have put a program of that name. A folder
// recorded without its final backslash still names the folder the program
// lies in, not a sibling file beside it.
void StartDriverUninstaller(const std::string& installFolder) {
  if (!folders::IsAbsoluteFolder(installFolder)) return;
  std::string folder = installFolder;
  payload::PayloadReader::AddTrailingBackslash(folder);
  install::RunDriverUninstaller(folder);
}

}  // namespace

void UninstallDialog::OnOK() {
  if (ShowsFinishCaption()) {
    ui::ProductDialog::OnCancel();
    return;
  }
  // Enter reaches here also while the removal runs and OK is disabled.
  if (!okButton_.IsEnabled()) return;
  RunSequence();
}

bool UninstallDialog::ShowsFinishCaption() const {
  return okButton_.Shows(texts::kFinishButton);
}

void UninstallDialog::RunSequence() {
  okButton_.Enable(false);
  cancelButton_.Enable(false);
  progressBar_.Show(true);
  statusLine_.Show(true);
  install::DeleteShortcuts(Handle());
  ShowStep(texts::kDeletingUninstallEntry);
  install::DeleteUninstallEntry();
  progressBar_.SetPosition(kPositionEntryDeleted);
  ShowStep(texts::kRemovingDriver);
  StartDriverUninstaller(installFolder_);
  progressBar_.SetPosition(kPositionDriverStarted);
  if (RemoveInstalledFiles()) SetStatus(texts::kDeleted);
  progressBar_.Show(false);
  okButton_.SetText(texts::kFinishButton);
  okButton_.Enable(true);
  cancelButton_.Enable(false);
  FocusControl(okButton_.Handle());
}

// Between the steps the dialog answers and paints the step it has reached.
void UninstallDialog::ShowStep(const char* text) {
  SetStatus(text);
  pump_.DrainIfDue();
}

int UninstallDialog::RemoveInstalledFiles() {
  progressBar_.SetPosition(0);
  ShowStep(texts::kDeletingFiles);
  installFolder_ = FolderToRemove(installFolder_);
  const folders::FolderCheck check =
      folders::CheckOwnableFolder(installFolder_, folders::SystemProtectedFolders());
  if (check.refusal != folders::FolderRefusal::kNone) {
    SetStatus(RefusalText(check, installFolder_));
    return 0;
  }
  ::SetFileAttributesA(installFolder_.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFolderTree(Handle(), installFolder_, UninstallProgress);
  return 1;
}

// Keeps the dialog painting and answering through the walk, then shows
// what was handled.
int32_t UninstallDialog::UninstallProgress(int32_t code, int32_t* position, const char* path,
                                           HWND window) {
  auto* dialog = static_cast<UninstallDialog*>(framework::Dialog::FromHandle(window));
  if (!dialog) {
    framework::MessagePump().Drain();
    return 0;
  }
  dialog->pump_.DrainIfDue();
  if (code == REPORT_FOLDER_NOT_REMOVED) {
    dialog->SetStatus(texts::kFolderNotRemoved);
    dialog->progressBar_.SetPosition(*position);
  } else if (code == REPORT_PATH) {
    dialog->SetStatus(framework::ScreenText::FromSystem(path));
    dialog->progressBar_.SetPosition(kPositionTreeReported);
  }
  return 0;
}

}  // namespace uninstall
