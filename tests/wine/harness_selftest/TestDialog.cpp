// harness_testdialog [ARGS]: a dialog with one of each control the installer
// uses, for the harness's self-test. It shows its environment, working
// directory and command line; OK (enabled by the checkbox) stores the edit's
// text in HKCU\Software\ParvaneHarness and exits with 7; Cancel exits with
// 1000, a code that does not fit the 8 bits `wine` passes back.
// harness_testdialog /lnk PATH: writes a shortcut to C:\harness\目标.exe.
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <memory>
#include <string>
#include <type_traits>

#include "TestDialog.h"

namespace {

struct ComRelease {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <typename T>
using ComPtr = std::unique_ptr<T, ComRelease>;

struct KeyClose {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyClose>;

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

void Init(HWND dialog) {
  SetDlgItemTextA(dialog, IDC_NAME, "初始文本");
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

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    Init(dialog);
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
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

int WriteShortcut(const char* path) {
  if (FAILED(CoInitialize(nullptr))) return 3;
  IShellLinkA* created = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&created)))) {
    return 3;
  }
  const ComPtr<IShellLinkA> link(created);
  link->SetPath("C:\\harness\\目标.exe");
  link->SetWorkingDirectory("C:\\harness\\工作目录");
  link->SetDescription("测试快捷方式");
  IPersistFile* file = nullptr;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) return 3;
  const ComPtr<IPersistFile> persist(file);
  wchar_t widePath[MAX_PATH] = L"";
  MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH);
  return SUCCEEDED(persist->Save(widePath, TRUE)) ? 0 : 3;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  if (std::strncmp(commandLine, "/lnk ", 5) == 0) return WriteShortcut(commandLine + 5);
  const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  return static_cast<int>(
      DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, DialogProc, 0));
}
