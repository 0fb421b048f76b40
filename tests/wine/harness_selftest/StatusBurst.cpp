#include "StatusBurst.h"

#include <string>

#include "TestDialog.h"

namespace harness {

void RunStatusBurst(HWND dialog) {
  for (const char* text : {"准备", "第 1 步", "第 1 步", "", "第 2 步\r\n两行"}) {
    SetDlgItemTextA(dialog, IDC_BURST_STATUS, text);
  }
  // A program may as well set a text through the wide call.
  SetDlgItemTextW(dialog, IDC_BURST_STATUS, L"完成");
}

void RunStatusFlood(HWND dialog) {
  for (int n = 1; n <= kFloodTexts; ++n) {
    std::string text = "第 " + std::to_string(n) + " 条";
    text.resize(kFloodTextBytes, '.');
    SetDlgItemTextA(dialog, IDC_BURST_STATUS, text.c_str());
  }
}

}  // namespace harness
