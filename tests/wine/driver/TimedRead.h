// Reads from another process's window whose round trip is measured: how
// long a read waits is how long a user's click would wait, since both are
// answered only when the window's thread next takes its messages.
#pragma once

#include <windows.h>

#include <string>

namespace uidriver {

// Milliseconds since construction, from the performance counter:
// GetTickCount's 10-16 ms steps are coarser than the reads it times.
class Stopwatch {
 public:
  Stopwatch();
  double Ms() const;

 private:
  LARGE_INTEGER start_;
  LARGE_INTEGER frequency_;
};

// Milliseconds as reports show them, with one decimal.
std::string Ms(double ms);

struct TimedAnswer {
  bool answered = false;
  bool gone = false;  // unanswered because the window no longer exists
  LRESULT value = 0;
  double ms = 0;  // the round trip; unanswered, how long it waited in vain
};

// Sent without SMTO_ABORTIFHUNG: a thread that is busy for a while is what
// these reads measure, not a reason to give up early.
TimedAnswer SendTimed(HWND window, UINT message, WPARAM wParam, DWORD timeoutMs);

struct TimedText {
  bool answered = false;
  bool gone = false;
  std::string text;  // UTF-8
  double ms = 0;
};

// WM_GETTEXT in one round trip (a text that fills the first buffer costs
// more); timeoutMs applies to each round trip.
TimedText ReadTextTimed(HWND window, DWORD timeoutMs);

}  // namespace uidriver
