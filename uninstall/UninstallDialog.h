// The one dialog of uninstall mode.
#pragma once

#include "res/resource.h"
#include "ui/ProductDialog.h"

namespace uninstall {

class UninstallDialog : public ui::ProductDialog {
 public:
  UninstallDialog();

 protected:
  BEGIN_MESSAGE_MAP(UninstallDialog, ui::ProductDialog)
    ON_MESSAGE(WM_PAINT, OnPaint)
    ON_MESSAGE(WM_QUERYDRAGICON, OnQueryDragIcon)
  END_MESSAGE_MAP()

  LRESULT OnSysCommand(WPARAM command, LPARAM lParam, bool& handled) override;
};

}  // namespace uninstall
