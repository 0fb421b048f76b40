// Keeps a window answering while its own thread does long work inside a
// message handler: the work calls DrainIfDue between its steps, and the
// thread's queue is emptied (PeekMessageA, TranslateMessage,
// DispatchMessageA) once at least kInterval milliseconds have passed since
// it was last emptied. Looking at an empty queue costs a round trip to the
// window system, which a step of a few microseconds would otherwise pay
// every time; a user cannot tell 10 ms from no delay at all.
#pragma once

#include <windows.h>

namespace framework {

class MessagePump {
 public:
  static constexpr DWORD kInterval = 10;

  // Empties the queue now.
  void Drain();
  // Empties the queue if kInterval has passed since the last time (the
  // first call always does).
  void DrainIfDue();

 private:
  bool drained_ = false;
  DWORD lastDrain_ = 0;
};

}  // namespace framework
