#include "framework/DataExchange.h"

#include "framework/Controls.h"

namespace framework {
namespace {

bool IsRadioButton(HWND control) {
  if (::SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) return true;
  const LONG type = ::GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

}  // namespace

HWND DataExchange::Item(int id) {
  HWND control = ::GetDlgItem(dialog_, id);
  if (!control) failed_ = true;
  return control;
}

void ExchangeControl(DataExchange& exchange, int id, Control& control) {
  if (!control.Handle()) control.Attach(exchange.Item(id));
}

void ExchangeText(DataExchange& exchange, int id, std::string& value) {
  Control control;
  control.Attach(exchange.Item(id));
  if (!control.Handle()) return;
  if (exchange.Saving()) {
    value = control.Text();
  } else {
    control.SetText(value);
  }
}

void ExchangeRadio(DataExchange& exchange, int firstId, int& index) {
  HWND control = exchange.Item(firstId);
  if (!control) return;
  if (exchange.Saving()) index = -1;
  int position = 0;
  do {
    if (IsRadioButton(control)) {
      if (exchange.Saving()) {
        if (::SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED) index = position;
      } else {
        ::SendMessageA(control, BM_SETCHECK, position == index ? BST_CHECKED : BST_UNCHECKED, 0);
      }
      ++position;
    }
    control = ::GetWindow(control, GW_HWNDNEXT);
  } while (control && !(::GetWindowLongA(control, GWL_STYLE) & WS_GROUP));
}

}  // namespace framework
