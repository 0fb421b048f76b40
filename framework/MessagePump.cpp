#include "framework/MessagePump.h"

namespace framework {

void MessagePump::Drain() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  // Taken after the messages: the time spent handling them is no reason to
  // look again sooner.
  lastDrain_ = ::GetTickCount();
  drained_ = true;
}

void MessagePump::DrainIfDue() {
  // Unsigned difference: right across the tick count's wrap after 49 days.
  if (drained_ && ::GetTickCount() - lastDrain_ < kInterval) return;
  Drain();
}

}  // namespace framework
