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

// Room to see that a text is longer than an entry keeps, even when a
// double-byte character straddles the limit.
struct WindowText {
  char text[kTextLogTextBytes + 4];
  DWORD size;  // above kTextLogTextBytes: longer than an entry keeps
};

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
  WindowText text;
  const auto procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
  text.size = static_cast<DWORD>(CallWindowProcA(procedure, window, WM_GETTEXT, sizeof text.text,
                                                 reinterpret_cast<LPARAM>(text.text)));
  sharedLogs.Append(window, text);
}

// The text arrives in UTF-16 and is logged as the window's texts are read,
// in the ANSI code page.
void RecordGivenText(HWND window, const wchar_t* text) {
  if (!sharedLogs.Records(window)) return;
  WindowText given;
  const int length = lstrlenW(text);
  const int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  given.size = static_cast<DWORD>(size > 0 ? size : 0);
  if (given.size > 0) {
    HANDLE heap = GetProcessHeap();
    auto* whole = static_cast<char*>(HeapAlloc(heap, 0, given.size));
    if (!whole) return;
    WideCharToMultiByte(CP_ACP, 0, text, length, whole, size, nullptr, nullptr);
    CopyMemory(given.text, whole, given.size < sizeof given.text ? given.size : sizeof given.text);
    HeapFree(heap, 0, whole);
  }
  sharedLogs.Append(window, given);
}

void RecordPosition(HWND window) {
  if (!sharedLogs.Records(window)) return;
  const auto procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
  const int position = static_cast<int>(CallWindowProcA(procedure, window, PBM_GETPOS, 0, 0));
  WindowText text;
  text.size = static_cast<DWORD>(wsprintfA(text.text, "%d", position));
  sharedLogs.Append(window, text);
}

}  // namespace uidriver
