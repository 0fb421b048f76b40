// The base of the installer's four large windows (the three wizard pages
// and the uninstall dialog): each opens with the product icon and the About
// entry, and the entry opens the About box. The program declares itself
// aware of each monitor's DPI, so the system scales the templates' fonts
// and layouts, and each window takes icons, and fonts of its own, at the
// DPI of the monitor it is on, again when it moves to another.
#pragma once

#include <windows.h>

#include "framework/Dialog.h"
#include "framework/MessageMap.h"
#include "ui/WindowLook.h"

namespace ui {

class ProductDialog : public framework::Dialog {
 public:
  ProductDialog(UINT templateId, UINT iconId);

 protected:
  // The standard initialisation, then the About entry and the icons.
  BOOL OnInitDialog() override;

  BEGIN_MESSAGE_MAP(ProductDialog, framework::Dialog)
    ON_MESSAGE(WM_SYSCOMMAND, OnSysCommand)
    ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
  END_MESSAGE_MAP()

  // Fonts a window made itself are made again for the new DPI here.
  virtual void ApplyDpi(UINT) {}

  // The About entry opens the About box; every other system command goes
  // on to the default processing.
  virtual LRESULT OnSysCommand(WPARAM command, LPARAM, bool& handled);

  // For windows that draw their icon when minimised: map WM_PAINT and
  // WM_QUERYDRAGICON to these.
  LRESULT OnPaint(WPARAM, LPARAM, bool& handled);
  LRESULT OnQueryDragIcon(WPARAM, LPARAM, bool&);

 private:
  // Icons at the new DPI; the default processing then moves and sizes the
  // window to the rectangle the system suggests.
  LRESULT OnDpiChanged(WPARAM dpis, LPARAM, bool& handled);

  UINT iconId_;
  WindowIcons icons_;
};

}  // namespace ui
