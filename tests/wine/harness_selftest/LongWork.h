// The self-test dialog's long operation, run inside a button's handler as
// the installer runs its extraction: 250 steps of 10 ms that move
// IDC_WORK_STATUS through "第 1 段" .. "第 5 段" to "完成" and
// IDC_WORK_PROGRESS from 1 to 100.
#pragma once

#include <windows.h>

namespace harness {

// Ends the process with exit code 3 half-way through every later run, the
// way a crash in the middle of an extraction would (harness_testdialog /abort).
void AbortWorkHalfway();

// IDC_WORK: runs the steps now, emptying the message queue between them.
void RunPumpingWork(HWND dialog);

// IDC_WORK_STUCK: shows "准备" at position 0 and starts the steps a moment later from a
// timer, without ever emptying the queue. From the timer, not the handler,
// so that the driver's click returns first: its wait for the thread to take
// the click would otherwise last as long as the steps do.
void ScheduleStuckWork(HWND dialog);

// WM_TIMER: true when the timer was ScheduleStuckWork's and the work ran.
bool OnWorkTimer(HWND dialog, WPARAM timer);

}  // namespace harness
