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

bool Control::Shows(const ScreenText& text) const {
  const int length = ::GetWindowTextLengthW(window_);
  std::wstring shown(static_cast<size_t>(length) + 1, L'\0');
  shown.resize(static_cast<size_t>(::GetWindowTextW(window_, &shown[0], length + 1)));
  return ::lstrcmpiW(shown.c_str(), text.c_str()) == 0;
}

// Even with painting held back, every position the bar takes asks the
// window system to repaint it, a trip to the server under Wine: the steps
// that stay inside the range are taken with one PBM_SETPOS, and only a step
// past the top, where the bar starts over by its own rule, is its own.
void ProgressBar::StepQuietly(int count) const {
  if (count <= 0) return;
  PBRANGE range = {};
  Send(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
  const int step = static_cast<int>(Send(PBM_GETSTEP));
  int position = Position();
  Send(WM_SETREDRAW, FALSE);
  while (count > 0) {
    const int room = step > 0 && position < range.iHigh ? (range.iHigh - position) / step : 0;
    if (room > 0) {
      const int steps = room < count ? room : count;
      position += steps * step;
      SetPosition(position);
      count -= steps;
    } else {
      Send(PBM_STEPIT);
      position = Position();
      --count;
    }
  }
  Send(WM_SETREDRAW, TRUE);
  ::InvalidateRect(Handle(), nullptr, TRUE);
}

namespace {

constexpr UINT_PTR kStatusLineSubclass = 1;

}  // namespace

void StatusLine::PaintOnlyWhenAsked() {
  if (!Handle()) return;
  announce_ = ::RegisterWindowMessageA(kStatusTextMessage);
  waiting_ = ::SetWindowSubclass(Handle(), Procedure, kStatusLineSubclass,
                                 reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

void StatusLine::SetText(const ScreenText& text) {
  if (!waiting_) {
    Control::SetText(text);
    return;
  }
  latest_ = text.Wide();
  ::SendMessageW(Handle(), announce_, 0, reinterpret_cast<LPARAM>(latest_.c_str()));
  // One invalidation per painting is enough; the next paint shows the latest.
  if (!pending_) ::InvalidateRect(Handle(), nullptr, TRUE);
  pending_ = true;
}

void StatusLine::Store() {
  if (!pending_) return;
  pending_ = false;
  // The default procedure stores the text without painting it.
  ::DefWindowProcW(Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(latest_.c_str()));
}

LRESULT CALLBACK StatusLine::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR self) {
  auto* line = reinterpret_cast<StatusLine*>(self);
  if (message == line->announce_) return 0;
  switch (message) {
    case WM_PAINT:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
      line->Store();
      break;
    case WM_SETTEXT: {
      // A text set from elsewhere replaces one still waiting.
      line->pending_ = false;
      // The text arrives as the window's own character set expects it.
      const LRESULT result = ::IsWindowUnicode(window)
                                 ? ::DefWindowProcW(window, message, wParam, lParam)
                                 : ::DefWindowProcA(window, message, wParam, lParam);
      ::InvalidateRect(window, nullptr, TRUE);
      return result;
    }
    case WM_NCDESTROY:
      line->waiting_ = false;
      line->pending_ = false;
      ::RemoveWindowSubclass(window, Procedure, kStatusLineSubclass);
      break;
  }
  return ::DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace framework
