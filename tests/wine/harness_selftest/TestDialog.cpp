// harness_testdialog [ARGS]: a dialog with one of each control the installer
// uses, for the harness's self-test. It shows its environment, working
// directory and command line; OK (enabled by the checkbox) stores the edit's
// text in HKCU\Software\ParvaneHarness and exits with 7; Cancel exits with
// 1000, a code that does not fit the 8 bits `wine` passes back. Its own
// system-menu item opens a box; two buttons open the shell's folder browser
// and a dialog of its own (TestWindows.h).
// Two more buttons run a long operation inside their handler (LongWork.h),
// two set a status text many times in a row (StatusBurst.h).
// harness_testdialog /owned: the same dialog, owned by a plain window.
// harness_testdialog /abort: the same dialog; the long operation ends the
// process half-way with exit code 3.
// harness_testdialog /lnk PATH: writes a shortcut to C:\harness\目标.exe.
#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <memory>
#include <string>
#include <type_traits>

#include "LongWork.h"
#include "StatusBurst.h"
#include "TestDialog.h"
#include "TestWindows.h"

namespace {

constexpr int kLicenceLines = 30;

struct KeyClose {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyClose>;

struct FontDelete {
  void operator()(HFONT font) const { DeleteObject(font); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDelete>;

std::string ItemText(HWND dialog, int id) {
  char text[512] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

void SetText(HKEY key, const char* name, const std::string& text) {
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>(text.size() + 1));
}

void Save(HWND dialog) {
  HKEY created = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\ParvaneHarness", 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &created, nullptr) != ERROR_SUCCESS) {
    return;
  }
  const UniqueKey key(created);
  SetText(key.get(), "名称", ItemText(dialog, IDC_NAME));
  SetText(key.get(), nullptr, "默认");
  const DWORD count = 0x12345678;
  RegSetValueExA(key.get(), "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count),
                 sizeof count);
}

void Ask(HWND dialog) {
  const std::string question = "你好，" + ItemText(dialog, IDC_NAME) + "\n确定吗？";
  const int answer = MessageBoxA(dialog, question.c_str(), "提问", MB_OKCANCEL | MB_ICONQUESTION);
  SetDlgItemTextA(dialog, IDC_RESULT, answer == IDOK ? "确定" : "取消");
  SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_DELTAPOS, 10, 0);
}

// Lines short enough never to wrap, so that the edit counts exactly these.
std::string LicenceText() {
  std::string text;
  for (int line = 1; line <= kLicenceLines; ++line) {
    if (line > 1) text += "\r\n";
    text += "第 " + std::to_string(line) + " 条：许可条款。";
  }
  return text;
}

void Init(HWND dialog, HFONT titleFont) {
  SendDlgItemMessageA(dialog, IDC_TITLE, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont), FALSE);
  SendMessageA(dialog, WM_SETICON, ICON_BIG,
               reinterpret_cast<LPARAM>(LoadIconA(nullptr, IDI_APPLICATION)));
  SetDlgItemTextA(dialog, IDC_NAME, "初始文本");
  SetDlgItemTextA(dialog, IDC_LICENCE, LicenceText().c_str());
  SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETRANGE32, 0, 200);
  SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETPOS, 50, 0);
  // The wide call: GetEnvironmentVariableA gets GBK values wrong in Wine 8.
  wchar_t value[256] = L"";
  GetEnvironmentVariableW(L"PARVANE_HARNESS_ENV", value, 256);
  SetDlgItemTextW(dialog, IDC_ENV, value);
  char folder[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof folder, folder);
  SetDlgItemTextA(dialog, IDC_CWD, folder);
  SetDlgItemTextA(dialog, IDC_CMDLINE, GetCommandLineA());
  const HMENU menu = GetSystemMenu(dialog, FALSE);
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, IDM_ABOUT, "关于测试(&A)...");
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
  switch (LOWORD(wParam)) {
    case IDC_AGREE:
      EnableWindow(GetDlgItem(dialog, IDOK), IsDlgButtonChecked(dialog, IDC_AGREE) == BST_CHECKED);
      return TRUE;
    case IDC_NAME:
      if (HIWORD(wParam) == EN_CHANGE) {
        SetDlgItemTextA(dialog, IDC_MIRROR, ItemText(dialog, IDC_NAME).c_str());
      }
      return TRUE;
    case IDC_ASK:
      Ask(dialog);
      return TRUE;
    case IDC_BROWSE:
      harness::BrowseForFolder(dialog);
      return TRUE;
    case IDC_CHILD:
      harness::RunChildDialog(dialog);
      return TRUE;
    case IDC_WORK:
      harness::RunPumpingWork(dialog);
      return TRUE;
    case IDC_WORK_STUCK:
      harness::ScheduleStuckWork(dialog);
      return TRUE;
    case IDC_BURST:
      harness::RunStatusBurst(dialog);
      return TRUE;
    case IDC_FLOOD:
      harness::RunStatusFlood(dialog);
      return TRUE;
    case IDOK:
      Save(dialog);
      EndDialog(dialog, 7);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, 1000);
      return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      Init(dialog, reinterpret_cast<HFONT>(lParam));
      return TRUE;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) != IDM_ABOUT) return FALSE;
      MessageBoxA(dialog, "测试对话框 1.0", "关于", MB_OK | MB_ICONINFORMATION);
      return TRUE;
    case WM_COMMAND:
      return OnCommand(dialog, wParam);
    case WM_TIMER:
      return harness::OnWorkTimer(dialog, wParam) ? TRUE : FALSE;
  }
  return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  if (std::strncmp(commandLine, "/lnk ", 5) == 0) return harness::WriteShortcut(commandLine + 5);
  const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  // Outlives the dialog, whose title static draws with it.
  const UniqueFont titleFont(CreateFontA(-16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, GB2312_CHARSET,
                                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                         DEFAULT_PITCH, "黑体"));
  if (std::strcmp(commandLine, "/abort") == 0) harness::AbortWorkHalfway();
  std::unique_ptr<harness::OwnerFrame> frame;
  if (std::strcmp(commandLine, "/owned") == 0) {
    frame = std::make_unique<harness::OwnerFrame>(instance);
  }
  return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN),
                                          frame ? frame->get() : nullptr, DialogProc,
                                          reinterpret_cast<LPARAM>(titleFont.get())));
}
