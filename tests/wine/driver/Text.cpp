#include "Text.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "Errors.h"

namespace uidriver {
namespace {

std::wstring ToWide(UINT codePage, DWORD flags, const std::string& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
  if (length <= 0) throw ScriptError{"not valid UTF-8"};
  std::wstring wide(length, L'\0');
  MultiByteToWideChar(codePage, flags, text.data(), size, &wide[0], length);
  return wide;
}

std::string FromWide(UINT codePage, const std::wstring& wide, BOOL* usedDefault) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, usedDefault);
  std::string text(length, '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), size, &text[0], length, nullptr, usedDefault);
  return text;
}

}  // namespace

std::wstring Wide(const std::string& utf8) { return ToWide(CP_UTF8, MB_ERR_INVALID_CHARS, utf8); }

// CP_UTF8 refuses a default-character argument.
std::string Utf8(const std::wstring& wide) { return FromWide(CP_UTF8, wide, nullptr); }

std::string Utf8(const wchar_t* text) { return Utf8(std::wstring(text)); }

std::string Utf8ToAnsi(const std::string& utf8) {
  BOOL usedDefault = FALSE;
  std::string ansi = FromWide(CP_ACP, Wide(utf8), &usedDefault);
  if (usedDefault) {
    throw ScriptError{"a character that code page " + std::to_string(GetACP()) + " cannot hold"};
  }
  return ansi;
}

std::string AnsiToUtf8(const std::string& ansi) { return Utf8(ToWide(CP_ACP, 0, ansi)); }

void PrintLine(const std::string& utf8) {
  const std::string line = utf8 + "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

std::string Shown(const std::string& utf8) {
  std::string shown;
  for (char c : utf8) {
    switch (c) {
      case '\r':
        shown += "\\r";
        break;
      case '\n':
        shown += "\\n";
        break;
      case '\t':
        shown += "\\t";
        break;
      default:
        shown += c;
    }
  }
  return shown;
}

std::string Beginning(const std::string& utf8, size_t bytes) {
  if (utf8.size() <= bytes) return utf8;
  size_t end = bytes;
  while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;
  return utf8.substr(0, end);
}

std::string Hex(const void* bytes, size_t size) {
  static const char digits[] = "0123456789abcdef";
  const auto* data = static_cast<const unsigned char*>(bytes);
  std::string hex;
  for (size_t i = 0; i < size; ++i) {
    hex += digits[data[i] >> 4];
    hex += digits[data[i] & 15];
  }
  return hex;
}

long long ParseNumber(const std::string& text) {
  char* end = nullptr;
  errno = 0;
  // Decimal unless written 0x..., so a leading zero never means octal.
  const size_t sign = text.compare(0, 1, "-") == 0 ? 1 : 0;
  const int base = text.compare(sign, 2, "0x") == 0 ? 16 : 10;
  const long long value = std::strtoll(text.c_str(), &end, base);
  if (text.empty() || *end != '\0' || errno == ERANGE) {
    throw ScriptError{"not a number: " + text};
  }
  return value;
}

bool ParseFlag(const std::string& text) {
  if (text != "0" && text != "1") throw ScriptError{"expected 0 or 1, not " + text};
  return text == "1";
}

}  // namespace uidriver
