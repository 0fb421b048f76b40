// Code page conversions and the forms in which the driver shows values.
// The script and everything printed are UTF-8; windows are asked for their
// texts in UTF-16, so a text compares the same whatever the system's ANSI
// code page. Only the registry checks read bytes in the ANSI code page.
#pragma once

#include <cstddef>
#include <string>

namespace uidriver {

// Throws ScriptError when the text is not UTF-8.
std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
std::string Utf8(const wchar_t* text);
// Throws ScriptError when the ANSI code page cannot hold a character, so a
// typo never turns into a silent '?'.
std::string Utf8ToAnsi(const std::string& utf8);
std::string AnsiToUtf8(const std::string& ansi);

// Write one line to stdout, which is UTF-8.
void PrintLine(const std::string& utf8);

// A window text as it is compared and shown: CR, LF and TAB become the two
// characters \r, \n and \t, since a script line cannot hold them.
std::string Shown(const std::string& utf8);

// At most `bytes` bytes of a UTF-8 text, never half a character.
std::string Beginning(const std::string& utf8, size_t bytes);

// Lower-case hex of raw bytes, without separators.
std::string Hex(const void* bytes, size_t size);

// Decimal or 0x-hex, optionally negative; anything else is a ScriptError.
long long ParseNumber(const std::string& text);
// "0" or "1".
bool ParseFlag(const std::string& text);

}  // namespace uidriver
