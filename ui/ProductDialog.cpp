#include "ui/ProductDialog.h"

#include "ui/AboutBox.h"
#include "ui/WindowLook.h"

namespace ui {

ProductDialog::ProductDialog(UINT templateId, UINT iconId)
    : framework::Dialog(templateId), icon_(LoadWindowIcon(iconId)) {}

BOOL ProductDialog::OnInitDialog() {
  framework::Dialog::OnInitDialog();
  AppendAboutEntry(Handle());
  SetWindowIcons(Handle(), icon_);
  return TRUE;
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
  handled = PaintMinimisedIcon(Handle(), icon_);
  return 0;
}

LRESULT ProductDialog::OnQueryDragIcon(WPARAM, LPARAM, bool&) {
  return reinterpret_cast<LRESULT>(icon_);
}

}  // namespace ui
