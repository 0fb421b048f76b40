// The installation, run inside the target page's OK command: extract the
// payload into the chosen folder, then shortcuts, helper programs and
// registry records. The page keeps answering through the extraction's
// progress callback. A folder it cannot use is refused before anything
// changes; a package it cannot read or files it cannot write stop the run
// before anything is registered.
#include <windows.h>

#include "framework/Handles.h"
#include "framework/ResourceText.h"
#include "install/HelperPrograms.h"
#include "install/InstallFolder.h"
#include "install/InstallTexts.h"
#include "install/RegistryRecords.h"
#include "install/Shortcuts.h"
#include "install/TargetPage.h"
#include "install/UninstallEntry.h"
#include "payload/PlatformFile.h"

namespace install {
namespace {

// Whether a new file can be made in `folder` (created if missing).
bool CanWriteIn(const std::string& folder) {
  payload::PayloadReader::CreateFolderChain(folder);
  const std::string probe = folder + "~parvane-write-test.tmp";
  const framework::ScopedFileHandle file(
      ::CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return file.IsValid();
}

std::string PackageDamagedText() {
  return framework::LoadResourceString(IDS_PACKAGE_DAMAGED);
}

}  // namespace

void TargetPage::OnInstall() {
  if (finished_) {
    EndDialog(IDCANCEL);
    return;
  }
  if (installing_) return;
  const std::string folder = folderEdit_.Text();
  if (!AcceptFolder(folder)) return;
  folderText_ = folder;
  installing_ = true;
  ShowProgressLayout();
  ShowStep(texts::kExtracting);
  if (!CheckPayload()) return;
  pump_.DrainIfDue();
  payload::PayloadReader::AddTrailingBackslash(folderText_);
  installFolder = folderText_;
  if (!ExtractFiles()) return;
  RegisterInstallation();
  ShowFinishedLayout();
  installing_ = false;
  finished_ = true;
}

// The running file must be a usable package before anything is written.
bool TargetPage::CheckPayload() {
  if (reader_.ReadDirectory(reader_.GetExecutablePath()) == payload::PAYLOAD_OK) return true;
  StopAfterFailure(PackageDamagedText());
  return false;
}

// Every entry into the install folder. Files already written stay when
// this fails; nothing after it runs.
bool TargetPage::ExtractFiles() {
  const int32_t result = reader_.ExtractAll(folderText_, InstallProgressCallback,
                                            reinterpret_cast<uintptr_t>(this));
  ShowPendingSteps();
  if (result == payload::PAYLOAD_OK) return true;
  if (result == payload::PAYLOAD_FILE_ERROR) {
    const payload::FileError& error = reader_.GetFileError();
    const bool reading = error.fileName() == reader_.GetExecutablePath();
    StopAfterFailure(framework::ScreenText(reading ? texts::kCannotReadPackage
                                                   : texts::kCannotWriteFile)
                         .Own("\r\n")
                         .System(error.fileName())
                         .Own("\r\n")
                         .System(payload::DescribeSystemError(error.code())));
    return false;
  }
  // A link planted in the folder is the folder's fault, not the package's.
  if (!reader_.GetRefusedLink().empty()) {
    StopAfterFailure(
        framework::ScreenText(texts::kFolderHoldsLink).Own("\r\n").System(reader_.GetRefusedLink()));
    return false;
  }
  // A failed entry is either a damaged stream or a file that could not be
  // created; the folder tells which.
  const bool folderWritable = result != payload::PAYLOAD_ENTRY_FAILED || CanWriteIn(folderText_);
  StopAfterFailure(folderWritable ? PackageDamagedText() : texts::kFolderNotWritable);
  return false;
}

// Shortcuts, helper programs and registry records: each step is tried
// whatever the one before it did, and none reports a failure.
void TargetPage::RegisterInstallation() {
  ShowStep(texts::kCreatingShortcuts);
  CreateShortcuts(Handle(), folderText_);
  ShowStep(texts::kInstallingDriver);
  RunDriverInstaller();
  ShowStep(texts::kRegisteringUninstaller);
  RegisterSkinControl();
  WriteUninstallEntry(MakeUninstallEntry(installFolder, reader_));
  ShowStep(texts::kRegisteringProduct);
  WriteProductKey(texts::kProductName, folderText_ + texts::kProgramFile, folderText_,
                  texts::kVersion, texts::kCompany);
}

// Each step of the sequence takes a few tens of milliseconds; between them
// the page answers and paints the step it has reached.
void TargetPage::ShowStep(const char* text) {
  SetStatus(text);
  pump_.DrainIfDue();
}

void TargetPage::ShowProgressLayout() {
  statusLine_.Show(true);
  progressBar_.Show(true);
  prompt_.Show(false);
  folderEdit_.Show(false);
  installButton_.Show(false);
  browseButton_.Show(false);
  SetStatus(texts::kInstalling);
  quitButton_.Enable(false);
}

void TargetPage::ShowFinishedLayout() {
  statusLine_.Show(true);
  statusLine_.SetText(framework::LoadResourceString(IDS_INSTALL_DONE));
  progressBar_.Show(false);
  browseButton_.Show(false);
  prompt_.Show(false);
  folderEdit_.Show(false);
  installButton_.Show(false);
  quitButton_.Enable(true);
  quitButton_.SetText(texts::kFinishButton);
  FocusControl(quitButton_.Handle());
}

// The user learns why, the status line says the installation failed, and
// Exit (or Enter) ends the wizard.
void TargetPage::StopAfterFailure(const framework::ScreenText& message) {
  MessageBox(message, framework::LoadResourceString(IDS_INSTALL_CAPTION),
             MB_OK | MB_ICONINFORMATION);
  progressBar_.Show(false);
  SetStatus(texts::kInstallFailed);
  quitButton_.SetText(texts::kExitButton);
  quitButton_.Enable(true);
  FocusControl(quitButton_.Handle());
  installing_ = false;
  finished_ = true;
}

// Empties the thread's message queue, so the page paints and answers, and
// steps the bar once per extracted entry.
int32_t TargetPage::InstallProgressCallback(int32_t code, const void*, uintptr_t userValue) {
  auto* page = reinterpret_cast<TargetPage*>(userValue);
  page->pump_.DrainIfDue();
  if (code == payload::PROGRESS_ENTRY_DONE) page->StepLater();
  return 0;
}

// A bar that repaints at every step costs as much as extracting a small
// file; ten pictures a second look just as smooth. The steps themselves are
// all taken, so the bar ends where one step per entry takes it.
void TargetPage::StepLater() {
  constexpr DWORD kShowStepsEvery = 100;
  ++pendingSteps_;
  if (::GetTickCount() - stepsShownAt_ >= kShowStepsEvery) ShowPendingSteps();
}

void TargetPage::ShowPendingSteps() {
  progressBar_.StepQuietly(pendingSteps_);
  pendingSteps_ = 0;
  stepsShownAt_ = ::GetTickCount();
}

}  // namespace install
