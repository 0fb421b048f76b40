// The one dialog of uninstall mode: it asks, then on OK removes the
// shortcuts, the uninstall entry, the driver and the installed files in one
// go, showing each step and each removed path, and finally offers Finish.
// Whether the removal has run is read from the OK button's caption.
#pragma once

#include <cstdint>
#include <string>

#include "framework/Controls.h"
#include "framework/MessagePump.h"
#include "res/resource.h"
#include "ui/ProductDialog.h"

namespace uninstall {

class UninstallDialog : public ui::ProductDialog {
 public:
  UninstallDialog();

 protected:
  void DoDataExchange(framework::DataExchange& exchange) override;
  BOOL OnInitDialog() override;
  // Runs the removal, or closes the dialog once it has run.
  void OnOK() override;
  // Only while the dialog asks: Escape and the close box still send it
  // after Cancel has been disabled.
  void OnCancel() override;

  BEGIN_MESSAGE_MAP(UninstallDialog, ui::ProductDialog)
    ON_MESSAGE(WM_PAINT, OnPaint)
    ON_MESSAGE(WM_QUERYDRAGICON, OnQueryDragIcon)
  END_MESSAGE_MAP()

  LRESULT OnSysCommand(WPARAM command, LPARAM lParam, bool& handled) override;

 private:
  // The removal (UninstallSequence.cpp).
  void RunSequence();
  // Empties and removes the install folder. 1 when the walk ran, 0 when the
  // folder was refused (the status line then says why).
  int RemoveInstalledFiles();
  bool ShowsFinishCaption() const;
  void SetStatus(const framework::ScreenText& text) { statusLine_.SetText(text); }
  void ShowStep(const char* text);
  static int32_t UninstallProgress(int32_t code, int32_t* position, const char* path,
                                   HWND window);

  framework::ProgressBar progressBar_;
  framework::MessagePump pump_;
  framework::StatusLine statusLine_;
  framework::Control okButton_;
  framework::Control cancelButton_;
  // As recorded, with its backslash; the removal shortens it to the folder.
  std::string installFolder_;
};

}  // namespace uninstall
