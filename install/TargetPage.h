// The last page of the install wizard: the install folder is chosen here,
// and Install runs the installation on this page, which then shows its
// progress and, at the end, a Finish button.
#pragma once

#include <string>

#include "framework/Controls.h"
#include "framework/MessagePump.h"
#include "payload/PayloadReader.h"
#include "res/resource.h"
#include "ui/ProductDialog.h"

namespace install {

class TargetPage : public ui::ProductDialog {
 public:
  TargetPage();

 protected:
  void DoDataExchange(framework::DataExchange& exchange) override;
  BOOL OnInitDialog() override;
  // Ignored while the installation runs: Escape and the close box still
  // send it although Exit is disabled.
  void OnCancel() override;

  BEGIN_MESSAGE_MAP(TargetPage, ui::ProductDialog)
    ON_COMMAND(IDC_TARGET_BROWSE, OnBrowse)
    ON_COMMAND(IDOK, OnInstall)
    ON_MESSAGE(WM_PAINT, OnPaint)
    ON_MESSAGE(WM_QUERYDRAGICON, OnQueryDragIcon)
  END_MESSAGE_MAP()

 private:
  void OnBrowse();
  void ShowChoosingLayout();

  // The install sequence (InstallSequence.cpp), on Install or Enter.
  void OnInstall();
  bool AcceptFolder(const std::string& folder);
  bool CheckPayload();
  bool ExtractFiles();
  void RegisterInstallation();
  void ShowProgressLayout();
  void ShowFinishedLayout();
  void StopAfterFailure(const framework::ScreenText& message);
  void SetStatus(const char* text) { statusLine_.SetText(text); }
  void ShowStep(const char* text);
  static int32_t InstallProgressCallback(int32_t code, const void* value, uintptr_t page);
  // The bar takes one step per extracted entry, shown in batches.
  void StepLater();
  void ShowPendingSteps();

  // The reader of this very program's payload, made with the page; it
  // holds a large fixed table, so pages live on the heap.
  payload::PayloadReader reader_;
  framework::MessagePump pump_;
  int pendingSteps_ = 0;
  DWORD stepsShownAt_ = 0;
  framework::Control quitButton_;
  framework::Control installButton_;
  framework::StatusLine statusLine_;
  framework::Control prompt_;
  framework::ProgressBar progressBar_;
  framework::Control folderEdit_;
  framework::Control browseButton_;
  std::string folderText_;
  // Set when a run has ended, successfully or not: OK then closes the page.
  bool finished_ = false;
  bool installing_ = false;
};

}  // namespace install
