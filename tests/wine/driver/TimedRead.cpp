#include "TimedRead.h"

#include <cstdio>

#include "Text.h"

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
      SendMessageTimeoutW(window, message, wParam, 0, SMTO_NORMAL, timeoutMs, &value) != 0;
  answer.ms = clock.Ms();
  answer.gone = !answer.answered && !IsWindow(window);
  answer.value = static_cast<LRESULT>(value);
  return answer;
}

TimedText ReadTextTimed(HWND window, DWORD timeoutMs) {
  TimedText read;
  const Stopwatch clock;
  for (size_t size = kFirstBuffer;; size *= 4) {
    std::wstring buffer(size, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, size, reinterpret_cast<LPARAM>(&buffer[0]),
                             SMTO_NORMAL, timeoutMs, &copied)) {
      break;
    }
    // A text cut short fills the buffer up to its NUL.
    if (copied + 1 < size) {
      buffer.resize(copied);
      read.text = Utf8(buffer);
      read.answered = true;
      break;
    }
  }
  read.ms = clock.Ms();
  read.gone = !read.answered && !IsWindow(window);
  return read;
}

}  // namespace uidriver
