// The whole screen (under the harness, Wine's virtual desktop) as a 24-bit
// BMP, which needs no encoder and which ImageMagick converts.
#include <windows.h>

#include "Driver.h"
#include "Errors.h"
#include "Text.h"

namespace uidriver {
namespace {

void WriteAll(HANDLE file, const void* data, DWORD size, const std::string& path) {
  DWORD written = 0;
  if (!WriteFile(file, data, size, &written, nullptr) || written != size) {
    throw Failure{"a screenshot written to " + path,
                  "write error " + std::to_string(GetLastError())};
  }
}

}  // namespace

void ScreenshotCommand(Driver&, const Command& command) {
  const std::string& path = command.args[0];
  const ScreenDc screen;
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as the file stores it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  const UniqueBitmap bitmap(
      CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
  const UniqueDc memory(CreateCompatibleDC(screen.get()));
  if (!bitmap || !memory) throw Failure{"a screen-sized bitmap", "GDI refused it"};
  const HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
  const BOOL copied =
      BitBlt(memory.get(), 0, 0, width, height, screen.get(), 0, 0, SRCCOPY | CAPTUREBLT);
  GdiFlush();
  SelectObject(memory.get(), previous);
  if (!copied) {
    throw Failure{"a copy of the screen", "BitBlt error " + std::to_string(GetLastError())};
  }

  const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  const DWORD imageSize = stride * static_cast<DWORD>(height);
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;  // "BM"
  header.bfOffBits = sizeof header + sizeof info.bmiHeader;
  header.bfSize = header.bfOffBits + imageSize;
  info.bmiHeader.biSizeImage = imageSize;

  const UniqueHandle file = FromCreateFile(
      CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (!file) {
    throw Failure{"a screenshot written to " + path,
                  "open error " + std::to_string(GetLastError())};
  }
  WriteAll(file.get(), &header, sizeof header, path);
  WriteAll(file.get(), &info.bmiHeader, sizeof info.bmiHeader, path);
  WriteAll(file.get(), pixels, imageSize, path);
  PrintLine("screenshot " + std::to_string(width) + "x" + std::to_string(height) + " " + path);
}

}  // namespace uidriver
