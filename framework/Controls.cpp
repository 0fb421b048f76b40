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

}  // namespace framework
