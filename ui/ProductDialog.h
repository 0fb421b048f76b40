// The base of the installer's four large windows (the three wizard pages
// and the uninstall dialog): each opens with the product icon and the About
// entry, and the entry opens the About box.
#pragma once

#include <windows.h>

#include "framework/Dialog.h"
#include "framework/MessageMap.h"

namespace ui {

class ProductDialog : public framework::Dialog {
 public:
  ProductDialog(UINT templateId, UINT iconId);

 protected:
  HICON Icon() const { return icon_; }

  // The standard initialisation, then the About entry and the icons.
  BOOL OnInitDialog() override;

  BEGIN_MESSAGE_MAP(ProductDialog, framework::Dialog)
    ON_MESSAGE(WM_SYSCOMMAND, OnSysCommand)
  END_MESSAGE_MAP()

  // The About entry opens the About box; every other system command goes
  // on to the default processing.
  virtual LRESULT OnSysCommand(WPARAM command, LPARAM, bool& handled);

  // For windows that draw their icon when minimised: map WM_PAINT and
  // WM_QUERYDRAGICON to these.
  LRESULT OnPaint(WPARAM, LPARAM, bool& handled);
  LRESULT OnQueryDragIcon(WPARAM, LPARAM, bool&);

 private:
  HICON icon_;
};

}  // namespace ui
