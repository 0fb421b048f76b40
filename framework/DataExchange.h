// Data exchange between a dialog's controls and its members, one call per
// control in DoDataExchange. Saving reads the controls into the members;
// loading writes the members into the controls.
#pragma once

#include <windows.h>

#include <string>

namespace framework {

class Control;

class DataExchange {
 public:
  DataExchange(HWND dialog, bool save) : dialog_(dialog), save_(save) {}

  bool Saving() const { return save_; }
  HWND Dialog() const { return dialog_; }
  // The control `id`; a missing control fails the exchange.
  HWND Item(int id);
  bool Failed() const { return failed_; }

 private:
  HWND dialog_;
  bool save_;
  bool failed_ = false;
};

// Binds `control` to the dialog's control `id` (both directions).
void ExchangeControl(DataExchange& exchange, int id, Control& control);
// The whole text of an edit or static control.
void ExchangeText(DataExchange& exchange, int id, std::string& value);
// The radio group that starts at `firstId` and runs to the next control
// with WS_GROUP: `index` is the position of the checked radio button among
// the group's radio buttons, -1 when none is checked.
void ExchangeRadio(DataExchange& exchange, int firstId, int& index);

}  // namespace framework
