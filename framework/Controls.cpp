#include "framework/Controls.h"

namespace framework {

void RegisterCommonControls() {
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&classes);
}

std::string Control::Text() const {
  std::string text(static_cast<size_t>(::GetWindowTextLengthA(window_)), '\0');
  if (text.empty()) return text;
  // The length may be an overestimate for double-byte text; keep what came.
  const int copied = ::GetWindowTextA(window_, &text[0], static_cast<int>(text.size()) + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

void ProgressBar::StepQuietly(int count) const {
  if (count <= 0) return;
  Send(WM_SETREDRAW, FALSE);
  for (int step = 0; step < count; ++step) Send(PBM_STEPIT);
  Send(WM_SETREDRAW, TRUE);
  ::InvalidateRect(Handle(), nullptr, TRUE);
}

namespace {

constexpr UINT_PTR kStatusLineSubclass = 1;

LRESULT CALLBACK StatusLineProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                UINT_PTR, DWORD_PTR) {
  if (message == WM_SETTEXT) {
    // The text arrives as the window's own character set expects it.
    const LRESULT result = ::IsWindowUnicode(window)
                               ? ::DefWindowProcW(window, message, wParam, lParam)
                               : ::DefWindowProcA(window, message, wParam, lParam);
    ::InvalidateRect(window, nullptr, TRUE);
    return result;
  }
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(window, StatusLineProc, kStatusLineSubclass);
  return ::DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

void StatusLine::PaintOnlyWhenAsked() const {
  if (Handle()) ::SetWindowSubclass(Handle(), StatusLineProc, kStatusLineSubclass, 0);
}

}  // namespace framework
