// The last page of the install wizard: the install folder is chosen here,
// and Install runs the installation on this page, which then shows its
// progress and, at the end, a Finish button.
#pragma once

#include <string>

#include "framework/Controls.h"
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

  BEGIN_MESSAGE_MAP(TargetPage, ui::ProductDialog)
    ON_COMMAND(IDC_TARGET_BROWSE, OnBrowse)
    ON_COMMAND(IDOK, OnInstall)
    ON_MESSAGE(WM_PAINT, OnPaint)
    ON_MESSAGE(WM_QUERYDRAGICON, OnQueryDragIcon)
  END_MESSAGE_MAP()

 private:
  void OnBrowse();
  void OnInstall();
  void ShowChoosingLayout();

  // The reader of this very program's payload, made with the page; it
  // holds a large fixed table, so pages live on the heap.
  payload::PayloadReader reader_;
  framework::Control quitButton_;
  framework::Control installButton_;
  framework::Control statusLine_;
  framework::Control prompt_;
  framework::ProgressBar progressBar_;
  framework::Control folderEdit_;
  framework::Control browseButton_;
  std::string folderText_;
  bool finished_ = false;
};

}  // namespace install
