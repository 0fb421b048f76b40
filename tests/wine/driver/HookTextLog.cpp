#include "HookTextLog.h"

#include <commctrl.h>

#include "HookProtocol.h"

namespace uidriver {
namespace {

class ExclusiveLock {
 public:
  explicit ExclusiveLock(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
  ~ExclusiveLock() { ReleaseSRWLockExclusive(&lock_); }
  ExclusiveLock(const ExclusiveLock&) = delete;
  ExclusiveLock& operator=(const ExclusiveLock&) = delete;

 private:
  SRWLOCK& lock_;
};

// A text as logged, in UTF-8: at most kTextLogTextBytes + 1 UTF-16 units
// of it, which is enough to see that it is longer than an entry keeps.
constexpr int kReadUnits = kTextLogTextBytes + 2;
struct WindowText {
  char text[3 * kReadUnits];
  DWORD size;  // above kTextLogTextBytes: longer than an entry keeps
};

void FromUtf16(const wchar_t* text, int length, WindowText& logged) {
  if (length > kReadUnits - 1) length = kReadUnits - 1;
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text, length, logged.text, sizeof logged.text, nullptr, nullptr);
  logged.size = static_cast<DWORD>(size > 0 ? size : 0);
}

// One view for every hooked thread of the process. The lock matters when a
// log moves to a window of another thread: its old writer might otherwise
// still be appending while the new one starts it afresh.
class SharedLogs {
 public:
  constexpr SharedLogs() = default;
  ~SharedLogs() { Unmap(); }
  SharedLogs(const SharedLogs&) = delete;
  SharedLogs& operator=(const SharedLogs&) = delete;

  bool Start(DWORD driverId, DWORD index, HWND window) {
    ExclusiveLock hold(lock_);
    if (!logs_ || driverId != driverId_) Map(driverId);
    if (!logs_ || index >= kTextLogs) return false;
    TextLog& log = logs_->logs[index];
    log.window = window;
    log.lost = 0;
    InterlockedExchange(&log.count, 0);
    return true;
  }

  bool Records(HWND window) {
    ExclusiveLock hold(lock_);
    return Find(window) != nullptr;
  }

  void Append(HWND window, const WindowText& text) {
    ExclusiveLock hold(lock_);
    // Two ids of the script may name one window: each log gets the text.
    for (TextLog* log = Find(window); log; log = Find(window, log + 1)) Append(*log, text);
  }

 private:
  TextLog* Find(HWND window, TextLog* from = nullptr) {
    if (!logs_) return nullptr;
    TextLog* const end = logs_->logs + kTextLogs;
    for (TextLog* log = from ? from : logs_->logs; log < end; ++log) {
      if (log->window == window) return log;
    }
    return nullptr;
  }

  void Map(DWORD driverId) {
    Unmap();
    char name[64];
    wsprintfA(name, kTextLogMappingFormat, driverId);
    const HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
    if (!mapping) return;
    // The view keeps the mapping alive; the handle is not needed after it.
    logs_ = static_cast<TextLogs*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(TextLogs)));
    CloseHandle(mapping);
    driverId_ = driverId;
  }

  void Unmap() {
    if (logs_) UnmapViewOfFile(logs_);
    logs_ = nullptr;
  }

  static void Append(TextLog& log, const WindowText& text) {
    const LONG count = log.count;
    if (count >= static_cast<LONG>(kTextLogEntries)) {
      InterlockedIncrement(&log.lost);
      return;
    }
    TextLogEntry& entry = log.entries[count];
    entry.size = text.size;
    CopyMemory(entry.text, text.text,
               text.size < kTextLogTextBytes ? text.size : kTextLogTextBytes);
    // A full barrier: the driver never sees the count before the entry.
    InterlockedExchange(&log.count, count + 1);
  }

  SRWLOCK lock_ = SRWLOCK_INIT;
  TextLogs* logs_ = nullptr;
  DWORD driverId_ = 0;
};

SharedLogs sharedLogs;

}  // namespace

bool StartTextLog(DWORD driverId, DWORD index, HWND window) {
  return sharedLogs.Start(driverId, index, window);
}

void RecordText(HWND window) {
  if (!sharedLogs.Records(window)) return;
  // Read outside the lock: the window procedure answers WM_GETTEXT, and
  // whatever it does meanwhile must not find the lock held. Straight to the
  // procedure, as WM_GETTEXT would go, but without running every hook of
  // the thread once more for it.
  // The W procedure converts an ANSI window's text from the system's code
  // page, as GetWindowTextW would.
  wchar_t wide[kReadUnits];
  const auto procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
  const auto length = static_cast<int>(
      CallWindowProcW(procedure, window, WM_GETTEXT, kReadUnits, reinterpret_cast<LPARAM>(wide)));
  WindowText text;
  FromUtf16(wide, length, text);
  sharedLogs.Append(window, text);
}

void RecordGivenText(HWND window, const wchar_t* text) {
  if (!sharedLogs.Records(window)) return;
  WindowText given;
  FromUtf16(text, lstrlenW(text), given);
  sharedLogs.Append(window, given);
}

void RecordPosition(HWND window) {
  if (!sharedLogs.Records(window)) return;
  const auto procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
  const int position = static_cast<int>(CallWindowProcW(procedure, window, PBM_GETPOS, 0, 0));
  WindowText text;
  text.size = static_cast<DWORD>(wsprintfA(text.text, "%d", position));
  sharedLogs.Append(window, text);
}

}  // namespace uidriver
