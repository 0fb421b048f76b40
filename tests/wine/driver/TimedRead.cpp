#include "TimedRead.h"

#include <cstdio>

namespace uidriver {
namespace {

// Enough for any status line in one round trip.
constexpr size_t kFirstBuffer = 1024;

}  // namespace

Stopwatch::Stopwatch() {
  QueryPerformanceFrequency(&frequency_);
  QueryPerformanceCounter(&start_);
}

double Stopwatch::Ms() const {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart - start_.QuadPart) * 1000.0 /
         static_cast<double>(frequency_.QuadPart);
}

std::string Ms(double ms) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", ms);
  return text;
}

TimedAnswer SendTimed(HWND window, UINT message, WPARAM wParam, DWORD timeoutMs) {
  TimedAnswer answer;
  DWORD_PTR value = 0;
  const Stopwatch clock;
  answer.answered =
      SendMessageTimeoutA(window, message, wParam, 0, SMTO_NORMAL, timeoutMs, &value) != 0;
  answer.ms = clock.Ms();
  answer.gone = !answer.answered && !IsWindow(window);
  answer.value = static_cast<LRESULT>(value);
  return answer;
}

TimedText ReadTextTimed(HWND window, DWORD timeoutMs) {
  TimedText read;
  const Stopwatch clock;
  for (size_t size = kFirstBuffer;; size *= 4) {
    std::string buffer(size, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, size, reinterpret_cast<LPARAM>(&buffer[0]),
                             SMTO_NORMAL, timeoutMs, &copied)) {
      break;
    }
    // A text cut short fills the buffer up to its NUL, or to one byte less
    // when the cut would split a double-byte character.
    if (copied + 2 < size) {
      buffer.resize(copied);
      read.text = std::move(buffer);
      read.answered = true;
      break;
    }
  }
  read.ms = clock.Ms();
  read.gone = !read.answered && !IsWindow(window);
  return read;
}

}  // namespace uidriver
