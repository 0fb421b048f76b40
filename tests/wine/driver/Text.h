// Code page conversions and the forms in which the driver shows values.
// The script is UTF-8, the windows speak the ANSI code page (936 under the
// harness), and everything printed is UTF-8 again.
#pragma once

#include <cstddef>
#include <string>

namespace uidriver {

// Throws ScriptError when the text is not UTF-8 or has a character the ANSI
// code page cannot hold, so a typo never turns into a silent '?'.
std::string Utf8ToAnsi(const std::string& utf8);
std::string AnsiToUtf8(const std::string& ansi);

// Write one line to stdout, which is UTF-8.
void PrintUtf8Line(const std::string& utf8);
void PrintLine(const std::string& ansi);

// A window text as it is compared and shown: CR, LF and TAB become the two
// characters \r, \n and \t, since a script line cannot hold them.
std::string Shown(const std::string& ansi);

// Lower-case hex of raw bytes, without separators.
std::string Hex(const void* bytes, size_t size);

// Decimal or 0x-hex, optionally negative; anything else is a ScriptError.
long long ParseNumber(const std::string& text);
// "0" or "1".
bool ParseFlag(const std::string& text);

}  // namespace uidriver
