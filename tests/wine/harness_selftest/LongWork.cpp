#include "LongWork.h"

#include <commctrl.h>

#include <string>

#include "TestDialog.h"

namespace harness {
namespace {

constexpr int kSteps = 250;
constexpr DWORD kStepMs = 10;
constexpr int kPhases = 5;
constexpr UINT_PTR kStuckTimer = 1;
constexpr UINT kStuckDelayMs = 50;

bool abortHalfway = false;

// False once WM_QUIT came, which goes back into the queue for the loop
// that owns it.
bool EmptyQueue() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return true;
}

void EnableButtons(HWND dialog, BOOL enable) {
  EnableWindow(GetDlgItem(dialog, IDC_WORK), enable);
  EnableWindow(GetDlgItem(dialog, IDC_WORK_STUCK), enable);
}

void Run(HWND dialog, bool pump) {
  EnableButtons(dialog, FALSE);
  int shownPhase = 0;
  for (int step = 1; step <= kSteps; ++step) {
    const int phase = (step - 1) * kPhases / kSteps + 1;
    if (phase != shownPhase) {
      shownPhase = phase;
      SetDlgItemTextA(dialog, IDC_WORK_STATUS, ("第 " + std::to_string(phase) + " 段").c_str());
    }
    SendDlgItemMessageA(dialog, IDC_WORK_PROGRESS, PBM_SETPOS, step * 100 / kSteps, 0);
    if (abortHalfway && step == kSteps / 2) TerminateProcess(GetCurrentProcess(), 3);
    Sleep(kStepMs);  // a piece of the work
    if (pump && !EmptyQueue()) return;
  }
  // With nothing pumped in between, no read sees "完成" before the buttons
  // are enabled again.
  SetDlgItemTextA(dialog, IDC_WORK_STATUS, "完成");
  EnableButtons(dialog, TRUE);
}

}  // namespace

void AbortWorkHalfway() { abortHalfway = true; }

void RunPumpingWork(HWND dialog) { Run(dialog, true); }

void ScheduleStuckWork(HWND dialog) {
  SetDlgItemTextA(dialog, IDC_WORK_STATUS, "准备");
  SendDlgItemMessageA(dialog, IDC_WORK_PROGRESS, PBM_SETPOS, 0, 0);
  SetTimer(dialog, kStuckTimer, kStuckDelayMs, nullptr);
}

bool OnWorkTimer(HWND dialog, WPARAM timer) {
  if (timer != kStuckTimer) return false;
  KillTimer(dialog, kStuckTimer);
  Run(dialog, false);
  return true;
}

}  // namespace harness
