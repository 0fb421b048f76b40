// A modal dialog run from a template in the program's resources. Derived
// classes bind commands and messages to their members with the message map
// of MessageMap.h, bind controls to members by id in DoDataExchange, and
// override the standard OK and Cancel endings where they need to.
//
// Runs nest: a handler may end its own dialog and run the next one modally
// before it returns, and the first dialog's run finishes only after that.
#pragma once

#include <windows.h>

#include <string>

#include "framework/ScreenText.h"

namespace framework {

class DataExchange;

class Dialog {
 public:
  explicit Dialog(UINT templateId, Dialog* parent = nullptr);
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Creates the window from the template and runs it until EndDialog.
  // Returns the EndDialog result, or -1 when the window could not be made.
  INT_PTR DoModal();
  void EndDialog(INT_PTR result);

  HWND Handle() const { return window_; }
  // The object behind a dialog window this framework runs; null for any
  // other window, and before WM_INITDIALOG or after WM_NCDESTROY.
  static Dialog* FromHandle(HWND window);
  UINT TemplateId() const { return templateId_; }

  // Moves data between the controls and the members: `save` true reads the
  // controls into the members. Returns false when an exchange failed.
  bool UpdateData(bool save = true);

  HWND Item(int id) const { return ::GetDlgItem(window_, id); }
  // Moves the keyboard focus to `control` as Tab would, so that Enter and
  // Space act on it. A handler that disables the focused control leaves
  // the dialog without any focus until it does this.
  void FocusControl(HWND control) const {
    ::SendMessageA(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
  }
  // A message box owned by this dialog.
  int MessageBox(const ScreenText& text, const ScreenText& caption, UINT type) const;

 protected:
  // Binds controls and exchanges data; the default binds nothing.
  virtual void DoDataExchange(DataExchange& exchange);
  // WM_INITDIALOG: the default fills the controls from the members. TRUE
  // lets the dialog manager set the focus.
  virtual BOOL OnInitDialog();
  // The standard OK: reads the controls back, then ends with IDOK.
  virtual void OnOK();
  // The standard Cancel: ends with IDCANCEL.
  virtual void OnCancel();

  // The message map. Handles the dialog's own messages and returns true, or
  // returns false to leave a message to the dialog manager. Classes override
  // it through BEGIN_MESSAGE_MAP ... END_MESSAGE_MAP, which falls back to
  // the base class's map.
  virtual bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

 private:
  static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam);
  INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  void CentreIfUnplaced();
  void OnDestroyed();

  UINT templateId_;
  Dialog* parent_;
  HWND window_ = nullptr;
};

}  // namespace framework
