// Texts given to one static in a row from a button's handler, without
// emptying the queue in between, as the installer sets its status line:
// only the last is ever painted, and only the driver's text log sees the
// rest.
#pragma once

#include <windows.h>

namespace harness {

constexpr int kFloodTexts = 256;
constexpr size_t kFloodTextBytes = 512;

// IDC_BURST: IDC_BURST_STATUS becomes "准备", "第 1 步", "第 1 步" again, "",
// "第 2 步\r\n两行" and "完成", the last through SetDlgItemTextW.
void RunStatusBurst(HWND dialog);

// IDC_FLOOD: kFloodTexts texts of exactly kFloodTextBytes bytes each,
// "第 N 条" (N from 1) filled up with '.'.
void RunStatusFlood(HWND dialog);

}  // namespace harness
