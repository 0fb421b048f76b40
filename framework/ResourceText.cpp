#include "framework/ResourceText.h"

#include "framework/ScreenText.h"

namespace framework {

// With no buffer, LoadStringW points at the table's own UTF-16 text and
// answers its length: nothing is cut and nothing passes through the
// system's ANSI code page, which may not hold the text.
std::string LoadResourceString(UINT id) {
  const wchar_t* text = nullptr;
  const int length =
      ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
  return text ? ToOwnText(text, length) : std::string();
}

}  // namespace framework
