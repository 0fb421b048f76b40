// What long work calls between its steps. The message pump: the first call
// empties the queue, calls within the interval leave it alone, and the
// first call after it empties the queue again, messages dispatched in
// order. Quiet steps of a progress bar: they end where as many plain steps
// end, wrapping at the top of the range alike, and leave the bar visible.
// A status line: it keeps every text it is given, GBK included, and paints
// the latest when the queue is next emptied; a text joined of the program's
// GBK and a folder in the system's code page shows both right.
// Prints one line per failed check; exit 1 if any.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/MessagePump.h"
#include "tests/wine/probes/ProbeCheck.h"

namespace {

using probe::Check;

std::vector<WPARAM> handled;

LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) {
    handled.push_back(wParam);
    return 0;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

bool QueueHolds(HWND window) {
  MSG message;
  return ::PeekMessageA(&message, window, WM_APP, WM_APP, PM_NOREMOVE) != FALSE;
}

}  // namespace

int main() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = Record;
  windowClass.hInstance = ::GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "PumpProbe";
  ::RegisterClassA(&windowClass);
  HWND window = ::CreateWindowA("PumpProbe", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
  Check(window != nullptr, "a message-only window");

  framework::MessagePump pump;
  ::PostMessageA(window, WM_APP, 1, 0);
  ::PostMessageA(window, WM_APP, 2, 0);
  pump.DrainIfDue();
  Check(handled == std::vector<WPARAM>{1, 2}, "the first call empties the queue, in order");

  // Well within the interval, unless the machine stalls for 10 ms here.
  ::PostMessageA(window, WM_APP, 3, 0);
  const DWORD before = ::GetTickCount();
  pump.DrainIfDue();
  if (::GetTickCount() - before < framework::MessagePump::kInterval / 2) {
    Check(handled.size() == 2 && QueueHolds(window), "a call within the interval waits");
  }

  ::Sleep(framework::MessagePump::kInterval * 3);
  pump.DrainIfDue();
  Check(handled == std::vector<WPARAM>{1, 2, 3}, "the first call after the interval empties it");
  Check(!QueueHolds(window), "nothing is left behind");

  ::PostMessageA(window, WM_APP, 4, 0);
  pump.Drain();
  Check(handled.back() == 4, "Drain empties the queue whenever it is called");

  ::DestroyWindow(window);

  ::InitCommonControls();
  HWND parent = ::CreateWindowA("PumpProbe", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 100,
                                nullptr, nullptr, windowClass.hInstance, nullptr);
  auto makeBar = [&](int step) {
    framework::ProgressBar bar;
    bar.Attach(::CreateWindowA(PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 20, parent,
                               nullptr, windowClass.hInstance, nullptr));
    bar.SetStep(step);
    return bar;
  };
  // Step 7 does not divide the range: the bar passes the top between two
  // positions.
  for (int step : {1, 7}) {
    framework::ProgressBar plain = makeBar(step);
    framework::ProgressBar quiet = makeBar(step);
    for (int count : {7, 1, 0, 150, 42, 57, 301}) {
      for (int taken = 0; taken < count; ++taken) plain.StepIt();
      quiet.StepQuietly(count);
      Check(quiet.Position() == plain.Position(), "quiet steps end where plain steps end");
    }
    Check(plain.Position() < 100, "the steps went past the top of the range and wrapped");
    Check(::IsWindowVisible(quiet.Handle()) != FALSE, "the bar stays visible");
  }

  // A Unicode control, as a dialog template's controls are.
  framework::StatusLine status;
  status.Attach(::CreateWindowW(L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 30, 280, 20, parent,
                                nullptr, windowClass.hInstance, nullptr));
  status.PaintOnlyWhenAsked();
  framework::MessagePump().Drain();
  // Read back in the system's code page, GBK comes back as given only where
  // that is GBK.
  const char* texts[] = {"\xC9\xBE\xB3\xFD\xB3\xC9\xB9\xA6",  // GBK text
                         "C:\\Program Files\\Tavisk\\Parvane\\a.txt", ""};
  for (const char* text : texts) {
    status.SetText(text);
    Check(status.Text() == text || (::GetACP() != 936 && text == texts[0]),
          "the status line keeps the text it is given");
  }
  // A message of the program's own GBK text and a folder as the system's
  // ANSI functions hand it over: each part is read from its own code page,
  // whatever the system's is (the test runs this probe on 936 and 1252).
  char systemFolder[32] = {};
  ::WideCharToMultiByte(CP_ACP, 0, L"C:\\Caf\u00e9\\", -1, systemFolder, sizeof systemFolder,
                        nullptr, nullptr);
  status.SetText(framework::ScreenText("\xCE\xDE\xB7\xA8\xD0\xB4\xC8\xEB\xCE\xC4\xBC\xFE\xA3\xBA")
                     .Own("\r\n")
                     .System(systemFolder));
  wchar_t shown[64] = {};
  ::GetWindowTextW(status.Handle(), shown, 64);
  Check(std::wstring(shown) == L"\u65e0\u6cd5\u5199\u5165\u6587\u4ef6\uff1a\r\nC:\\Caf\u00e9\\",
        "own text from GBK and the folder from the system's code page");
  status.SetText("last");
  RECT pending;
  Check(::GetUpdateRect(status.Handle(), &pending, FALSE) != FALSE,
        "a new text waits to be painted");
  framework::MessagePump().Drain();
  Check(::GetUpdateRect(status.Handle(), &pending, FALSE) == FALSE,
        "emptying the queue paints it");
  ::DestroyWindow(parent);
  return probe::Finish();
}
