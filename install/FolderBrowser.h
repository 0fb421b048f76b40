// The shell's folder browser for one choice of a folder.
#pragma once

#include <windows.h>

#include <string>

namespace install {

class FolderBrowser {
 public:
  explicit FolderBrowser(std::string title) : caption(std::move(title)) {}

  // Opens the browser, owned by `owner` (or by nothing). Returns 1 with
  // `selectedPath` set when a folder with a file-system path was chosen;
  // 0 when the user cancelled, the choice has no file-system path, or the
  // shell's allocator is unavailable.
  int Browse(HWND owner);

  // Put into the browser's title bar when it opens (unless empty).
  std::string caption;
  // The chosen folder's path, exactly as the shell gives it.
  std::string selectedPath;

 private:
  static int CALLBACK Callback(HWND browser, UINT message, LPARAM, LPARAM data);
};

}  // namespace install
