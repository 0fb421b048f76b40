#include "ui/ProductDialog.h"

#include <utility>

#include "ui/AboutBox.h"

namespace ui {

ProductDialog::ProductDialog(UINT templateId, UINT iconId)
    : framework::Dialog(templateId), iconId_(iconId) {}

BOOL ProductDialog::OnInitDialog() {
  framework::Dialog::OnInitDialog();
  AppendAboutEntry(Handle());
  const UINT dpi = WindowDpi(Handle());
  icons_ = LoadWindowIcons(iconId_, dpi);
  SetWindowIcons(Handle(), icons_);
  ApplyDpi(dpi);
  return TRUE;
}

LRESULT ProductDialog::OnDpiChanged(WPARAM dpis, LPARAM, bool& handled) {
  const UINT dpi = HIWORD(dpis);
  WindowIcons icons = LoadWindowIcons(iconId_, dpi);
  SetWindowIcons(Handle(), icons);
  // The window no longer uses the old icons once the new ones are set.
  icons_ = std::move(icons);
  ApplyDpi(dpi);
  handled = false;
  return 0;
}

LRESULT ProductDialog::OnSysCommand(WPARAM command, LPARAM, bool& handled) {
  if (!IsAboutCommand(command)) {
    handled = false;
    return 0;
  }
  AboutBox about;
  about.DoModal();
  return 0;
}

LRESULT ProductDialog::OnPaint(WPARAM, LPARAM, bool& handled) {
  handled = PaintMinimisedIcon(Handle(), icons_.big.Get());
  return 0;
}

LRESULT ProductDialog::OnQueryDragIcon(WPARAM, LPARAM, bool&) {
  return reinterpret_cast<LRESULT>(icons_.big.Get());
}

}  // namespace ui
