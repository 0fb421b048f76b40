#include "framework/ResourceText.h"

namespace framework {

std::string LoadResourceString(UINT id) {
  HINSTANCE module = ::GetModuleHandleA(nullptr);
  // LoadStringA gives no length up front and cuts a text that does not fit;
  // a buffer that came back full is tried again twice as large.
  for (int size = 256; size <= 65536; size *= 2) {
    std::string text(static_cast<size_t>(size), '\0');
    const int length = ::LoadStringA(module, id, &text[0], size);
    if (length <= 0) return std::string();
    if (length < size - 2) {
      text.resize(static_cast<size_t>(length));
      return text;
    }
  }
  return std::string();
}

}  // namespace framework
