// What a window shows, as the UTF-16 text the window system keeps. The
// program's own texts are GBK whatever the system's ANSI code page, so they
// are converted from code page 936 explicitly; texts that come from the
// system (a folder typed, chosen or recorded, a system error's wording) are
// in the system's ANSI code page and converted from that. A message that
// joins both keeps each part in its own encoding.
#pragma once

#include <string>

namespace framework {

// The code page of the program's own texts.
constexpr unsigned kOwnCodePage = 936;

class ScreenText {
 public:
  // Out of line, as every other member: a text is made at many call sites,
  // and each inlined string operation would cost the image its bytes there.
  ScreenText();
  // The program's own text: every literal and string-table text, so that a
  // call with one reads as it always has.
  ScreenText(const char* own);
  ScreenText(const std::string& own);
  ScreenText(const ScreenText& other);
  ScreenText& operator=(const ScreenText& other);
  ~ScreenText();
  static ScreenText FromSystem(const std::string& text);

  ScreenText& Own(const std::string& text);
  ScreenText& System(const std::string& text);
  ScreenText& Add(const ScreenText& text);
  bool Empty() const { return text_.empty(); }

  const std::wstring& Wide() const { return text_; }
  const wchar_t* c_str() const { return text_.c_str(); }

 private:
  ScreenText& Append(const std::string& text, unsigned codePage);

  std::wstring text_;
};

// UTF-16 text back to the program's own code page.
std::string ToOwnText(const wchar_t* text, int length);

}  // namespace framework
