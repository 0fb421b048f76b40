#include "TestWindows.h"

#include <shlobj.h>

#include <memory>

#include "TestDialog.h"

namespace harness {
namespace {

struct ComRelease {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <typename T>
using ComPtr = std::unique_ptr<T, ComRelease>;

struct TaskMemFree {
  void operator()(void* memory) const { CoTaskMemFree(memory); }
};

int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM, LPARAM) {
  if (message == BFFM_INITIALIZED) SetWindowTextA(browser, "选择安装目录");
  return 0;
}

void Centre(HWND window, HWND over) {
  RECT outer{}, inner{};
  GetWindowRect(over, &outer);
  GetWindowRect(window, &inner);
  const int width = inner.right - inner.left;
  const int height = inner.bottom - inner.top;
  SetWindowPos(window, nullptr, outer.left + (outer.right - outer.left - width) / 2,
               outer.top + (outer.bottom - outer.top - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK ChildProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    Centre(dialog, GetWindow(dialog, GW_OWNER));
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  if (LOWORD(wParam) == IDC_NUDGE) {
    RECT rect{};
    GetWindowRect(dialog, &rect);
    SetWindowPos(dialog, nullptr, rect.left + 30, rect.top + 20, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  } else if (LOWORD(wParam) == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
  }
  return TRUE;
}

constexpr char kFrameClass[] = "ParvaneHarnessFrame";

}  // namespace

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

void BrowseForFolder(HWND dialog) {
  char displayName[MAX_PATH] = "";
  BROWSEINFOA info{};
  info.pszDisplayName = displayName;
  info.lpszTitle = "请选择文件夹";
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;
  info.lpfn = BrowseCallback;
  const std::unique_ptr<ITEMIDLIST, TaskMemFree> item(SHBrowseForFolderA(&info));
  char path[MAX_PATH] = "";
  if (item && !SHGetPathFromIDListA(item.get(), path)) lstrcpyA(path, "无路径");
  SetDlgItemTextA(dialog, IDC_FOLDER, item ? path : "取消");
}

void RunChildDialog(HWND owner) {
  DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_CHILD), owner, ChildProc, 0);
}

OwnerFrame::OwnerFrame(HINSTANCE instance) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kFrameClass;
  RegisterClassA(&windowClass);
  const DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
  window_ = CreateWindowExA(0, kFrameClass, "框架窗口", style, 40, 40, 400, 300, nullptr, nullptr,
                            instance, nullptr);
}

OwnerFrame::~OwnerFrame() {
  if (window_) DestroyWindow(window_);
}

}  // namespace harness
