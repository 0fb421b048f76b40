// Members that stand for a dialog's controls. DataExchange binds them to
// the template's controls by id; until then they hold no window and every
// call is harmless.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/ScreenText.h"

namespace framework {

// Registers the common-control window classes that dialog templates name
// (the progress bar), from the version the manifest selects. Called once
// before the first dialog; without it a template with a progress bar may
// fail to load on systems that do not load comctl32 on demand.
void RegisterCommonControls();

class Control {
 public:
  void Attach(HWND window) { window_ = window; }
  HWND Handle() const { return window_; }

  // In the system's ANSI code page, as the file functions take it.
  std::string Text() const;
  // Whether the control shows `text`, ignoring case: compared as shown,
  // since the program's GBK read back in another code page is not itself.
  bool Shows(const ScreenText& text) const;
  void SetText(const ScreenText& text) const { ::SetWindowTextW(window_, text.c_str()); }
  void Show(bool visible) const { ::ShowWindow(window_, visible ? SW_SHOW : SW_HIDE); }
  void Enable(bool enabled) const { ::EnableWindow(window_, enabled ? TRUE : FALSE); }
  bool IsVisible() const { return ::IsWindowVisible(window_) != FALSE; }
  bool IsEnabled() const { return ::IsWindowEnabled(window_) != FALSE; }
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageA(window_, message, wParam, lParam);
  }

 private:
  HWND window_ = nullptr;
};

// The message a status line sends its control with each text it is given,
// lParam the text in UTF-16: whoever watches the window (a test, a screen
// reader's hook) learns every text, also those never painted.
constexpr char kStatusTextMessage[] = "Parvane.StatusText";

// A static text that takes each new text without storing or painting it at
// once. A static paints itself inside WM_SETTEXT, half a millisecond under
// Wine, and storing a window text is a trip to the window system, a quarter
// of a millisecond more: a walk that reports thousands of paths would spend
// most of its time on texts nobody can read. The status line keeps the
// latest text and gives it to the control when the control paints, or when
// anybody asks the control for its text, so what is read and what is seen
// is always the latest.
class StatusLine : public Control {
 public:
  StatusLine() = default;
  StatusLine(const StatusLine&) = delete;
  StatusLine& operator=(const StatusLine&) = delete;

  // From now until the control is destroyed, texts wait for its painting.
  // The object must outlive the control's window, as a dialog's member does.
  void PaintOnlyWhenAsked();

  void SetText(const ScreenText& text);

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR self);
  // Gives the control the latest text, if it has not got it yet.
  void Store();

  bool waiting_ = false;
  bool pending_ = false;
  UINT announce_ = 0;
  std::wstring latest_;
};

class ProgressBar : public Control {
 public:
  void SetStep(int step) const { Send(PBM_SETSTEP, static_cast<WPARAM>(step)); }
  void StepIt() const { Send(PBM_STEPIT); }
  // Steps `count` times with painting held back, then asks for one repaint
  // at the next look at the message queue: a bar that repaints itself at
  // every step, as under Wine, costs milliseconds a step. The bar ends where
  // `count` PBM_STEPITs take it, starting over past the top as they do.
  void StepQuietly(int count) const;
  void SetPosition(int position) const { Send(PBM_SETPOS, static_cast<WPARAM>(position)); }
  int Position() const { return static_cast<int>(Send(PBM_GETPOS)); }
};

}  // namespace framework
