// The windows around the self-test's main dialog, each one a thing the
// driver must be able to find, measure or work.
#pragma once

#include <windows.h>

namespace harness {

// Writes a shortcut to C:\harness\目标.exe; 0 on success, 3 otherwise.
int WriteShortcut(const char* path);

// The shell's folder browser, without owner, titled "选择安装目录" as the
// installer titles it; what it gave lands in IDC_FOLDER.
void BrowseForFolder(HWND dialog);

// "子对话框", modal, owned by `owner` and centred over it.
void RunChildDialog(HWND owner);

// A plain top-level window of a class of its own, "框架窗口", that is not
// centred: an owner that is not a dialog.
class OwnerFrame {
 public:
  explicit OwnerFrame(HINSTANCE instance);
  ~OwnerFrame();
  OwnerFrame(const OwnerFrame&) = delete;
  OwnerFrame& operator=(const OwnerFrame&) = delete;
  HWND get() const { return window_; }

 private:
  HWND window_;
};

}  // namespace harness
