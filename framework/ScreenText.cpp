#include "framework/ScreenText.h"

#include <windows.h>

namespace framework {

ScreenText::ScreenText() = default;
ScreenText::ScreenText(const char* own) { Own(own); }
ScreenText::ScreenText(const std::string& own) { Own(own); }
ScreenText::ScreenText(const ScreenText& other) = default;
ScreenText& ScreenText::operator=(const ScreenText& other) = default;
ScreenText::~ScreenText() = default;

ScreenText ScreenText::FromSystem(const std::string& text) { return ScreenText().System(text); }

ScreenText& ScreenText::Add(const ScreenText& text) {
  text_ += text.text_;
  return *this;
}

ScreenText& ScreenText::Own(const std::string& text) { return Append(text, kOwnCodePage); }

ScreenText& ScreenText::System(const std::string& text) { return Append(text, CP_ACP); }

ScreenText& ScreenText::Append(const std::string& text, unsigned codePage) {
  if (text.empty()) return *this;
  const int size = static_cast<int>(text.size());
  const int length = ::MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return *this;
  const size_t at = text_.size();
  text_.resize(at + static_cast<size_t>(length));
  ::MultiByteToWideChar(codePage, 0, text.data(), size, &text_[at], length);
  return *this;
}

std::string ToOwnText(const wchar_t* text, int length) {
  if (length <= 0) return std::string();
  const int size =
      ::WideCharToMultiByte(kOwnCodePage, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::string();
  std::string own(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(kOwnCodePage, 0, text, length, &own[0], size, nullptr, nullptr);
  return own;
}

}  // namespace framework
