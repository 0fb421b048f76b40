#include "framework/Dialog.h"

#include "framework/Application.h"
#include "framework/DataExchange.h"

namespace framework {
namespace {

// Messages whose result a dialog procedure returns directly instead of
// through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
  switch (message) {
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORMSGBOX:
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_VKEYTOITEM:
      return true;
    default:
      return false;
  }
}

}  // namespace

Dialog::Dialog(UINT templateId, Dialog* parent) : templateId_(templateId), parent_(parent) {}

Dialog::~Dialog() = default;

// A dialog without a parent is owned by the thread's active window when
// that is on screen (an About box opened from a page belongs to the page
// and is centred over it), and by nothing otherwise (a wizard page that
// follows one that has just ended stands alone, with its own taskbar
// button).
static HWND ActiveVisibleWindow() {
  HWND active = ::GetActiveWindow();
  return active && ::IsWindowVisible(active) ? active : nullptr;
}

// A Unicode dialog: the template's texts are UTF-16 and reach the screen as
// they are, whatever the system's ANSI code page. An ANSI dialog would have
// them converted to that code page first, which turns every Chinese
// character into a question mark on a Western-language Windows.
INT_PTR Dialog::DoModal() {
  HWND owner = parent_ ? parent_->Handle() : ActiveVisibleWindow();
  return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner,
                           DialogProcedure, reinterpret_cast<LPARAM>(this));
}

void Dialog::EndDialog(INT_PTR result) { ::EndDialog(window_, result); }

Dialog* Dialog::FromHandle(HWND window) {
  // Asked in the dialog's own character set, so that the system hands back
  // the procedure itself rather than a stand-in that converts messages.
  if (!window || reinterpret_cast<DLGPROC>(::GetWindowLongPtrW(window, DWLP_DLGPROC)) !=
                     DialogProcedure) {
    return nullptr;
  }
  return reinterpret_cast<Dialog*>(::GetWindowLongPtrA(window, DWLP_USER));
}

bool Dialog::UpdateData(bool save) {
  DataExchange exchange(window_, save);
  DoDataExchange(exchange);
  return !exchange.Failed();
}

int Dialog::MessageBox(const ScreenText& text, const ScreenText& caption, UINT type) const {
  return ::MessageBoxW(window_, text.c_str(), caption.c_str(), type);
}

void Dialog::DoDataExchange(DataExchange&) {}

BOOL Dialog::OnInitDialog() {
  UpdateData(false);
  return TRUE;
}

void Dialog::OnOK() {
  if (UpdateData(true)) EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

bool Dialog::ProcessMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  switch (message) {
    case WM_INITDIALOG:
      result = OnInitDialog();
      CentreIfUnplaced();
      return true;
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) return false;
      if (LOWORD(wParam) == IDOK) {
        OnOK();
        result = 0;
        return true;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        OnCancel();
        result = 0;
        return true;
      }
      return false;
    case WM_NCDESTROY:
      OnDestroyed();
      return false;
    default:
      return false;
  }
}

INT_PTR CALLBACK Dialog::DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam) {
  Dialog* dialog;
  if (message == WM_INITDIALOG) {
    dialog = reinterpret_cast<Dialog*>(lParam);
    dialog->window_ = window;
    ::SetWindowLongPtrA(window, DWLP_USER, lParam);
  } else {
    dialog = reinterpret_cast<Dialog*>(::GetWindowLongPtrA(window, DWLP_USER));
  }
  // Messages that arrive before WM_INITDIALOG (WM_SETFONT) have no object.
  return dialog ? dialog->Dispatch(message, wParam, lParam) : FALSE;
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!ProcessMessage(message, wParam, lParam, result)) return FALSE;
  if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
  ::SetWindowLongPtrA(window_, DWLP_MSGRESULT, result);
  return TRUE;
}

// None of the templates carries a position of its own, so one without
// DS_CENTER would open in the top left corner: it is centred over its owner,
// or over the work area when it has none, as users expect of a new window.
void Dialog::CentreIfUnplaced() {
  if (::GetWindowLongA(window_, GWL_STYLE) & DS_CENTER) return;
  RECT window;
  ::GetWindowRect(window_, &window);
  RECT area;
  HWND owner = ::GetWindow(window_, GW_OWNER);
  if (owner && ::IsWindowVisible(owner)) {
    ::GetWindowRect(owner, &area);
  } else {
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  }
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  const int left = area.left + ((area.right - area.left) - width) / 2;
  const int top = area.top + ((area.bottom - area.top) - height) / 2;
  ::SetWindowPos(window_, nullptr, left, top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The last message of the window: when it was the application's main window
// the program is over.
void Dialog::OnDestroyed() {
  ::SetWindowLongPtrA(window_, DWLP_USER, 0);
  window_ = nullptr;
  Application* application = Application::Current();
  if (application && application->MainWindow() == this) {
    application->SetMainWindow(nullptr);
    ::PostQuitMessage(0);
  }
}

}  // namespace framework
