// Registry checks, read through the ANSI functions: a value's bytes are
// those a program sees that stores and reads its texts in the system's ANSI
// code page, which is how programs of this kind keep them.
#include <windows.h>

#include <vector>

#include "Driver.h"
#include "Errors.h"
#include "Text.h"

namespace uidriver {
namespace {

struct TypeName {
  DWORD type;
  const char* name;
};

const TypeName kTypes[] = {
    {REG_NONE, "REG_NONE"},           {REG_SZ, "REG_SZ"},
    {REG_EXPAND_SZ, "REG_EXPAND_SZ"}, {REG_BINARY, "REG_BINARY"},
    {REG_DWORD, "REG_DWORD"},         {REG_DWORD_BIG_ENDIAN, "REG_DWORD_BIG_ENDIAN"},
    {REG_LINK, "REG_LINK"},           {REG_MULTI_SZ, "REG_MULTI_SZ"},
    {REG_QWORD, "REG_QWORD"},
};

std::string NameOfType(DWORD type) {
  for (const TypeName& known : kTypes) {
    if (known.type == type) return known.name;
  }
  return "type " + std::to_string(type);
}

// "HKLM\Software\X": the root is ASCII, so the first backslash ends it.
HKEY RootOf(const std::string& path, std::string& subKey) {
  const size_t slash = path.find('\\');
  const std::string root = path.substr(0, slash);
  subKey = slash == std::string::npos ? "" : path.substr(slash + 1);
  if (root == "HKLM" || root == "HKEY_LOCAL_MACHINE") return HKEY_LOCAL_MACHINE;
  if (root == "HKCU" || root == "HKEY_CURRENT_USER") return HKEY_CURRENT_USER;
  if (root == "HKCR" || root == "HKEY_CLASSES_ROOT") return HKEY_CLASSES_ROOT;
  if (root == "HKU" || root == "HKEY_USERS") return HKEY_USERS;
  throw ScriptError{"unknown registry root " + root};
}

UniqueKey OpenKey(const std::string& path, LONG& error) {
  std::string subKey;
  const HKEY root = RootOf(path, subKey);
  HKEY key = nullptr;
  error = RegOpenKeyExW(root, Wide(subKey).c_str(), 0, KEY_QUERY_VALUE, &key);
  return UniqueKey(error == ERROR_SUCCESS ? key : nullptr);
}

// The name as the ANSI functions take it; "@" is the key's default value.
struct ValueName {
  explicit ValueName(const std::string& utf8) : ansi(utf8 == "@" ? "" : Utf8ToAnsi(utf8)) {}
  const char* get() const { return ansi.empty() ? nullptr : ansi.c_str(); }
  std::string ansi;
};

struct Value {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

// A missing key or value is a failed check, not a script error.
Value ReadValue(const std::string& path, const std::string& name) {
  const ValueName valueName(name);  // a name the code page lacks is the script's error
  LONG error = 0;
  const UniqueKey key = OpenKey(path, error);
  if (!key) throw Failure{"key " + path, "none (error " + std::to_string(error) + ")"};
  Value value;
  DWORD size = 0;
  error = RegQueryValueExA(key.get(), valueName.get(), nullptr, &value.type, nullptr, &size);
  if (error == ERROR_SUCCESS) {
    value.data.resize(size);
    error = RegQueryValueExA(key.get(), valueName.get(), nullptr, &value.type, value.data.data(),
                             &size);
    value.data.resize(size);
  }
  if (error != ERROR_SUCCESS) {
    throw Failure{"value " + name + " in " + path, "none (error " + std::to_string(error) + ")"};
  }
  return value;
}

}  // namespace

// REG_SZ data is what RegQueryValueExA returns: the text in the ANSI code
// page followed by the terminating NUL when the value was stored with one
// (RegSetValueExA with strlen + 1 bytes, as programs do).
void RegValueCommand(Driver&, const Command& command) {
  const Value value = ReadValue(command.args[0], command.args[1]);
  std::string expectedHex = command.args[3];
  for (char& c : expectedHex) {
    if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
  }
  const std::string expected = command.args[2] + " " + expectedHex;
  const std::string saw = NameOfType(value.type) + " " + Hex(value.data.data(), value.data.size());
  if (saw != expected) throw Failure{expected, saw};
}

void RegTextCommand(Driver&, const Command& command) {
  const Value value = ReadValue(command.args[0], command.args[1]);
  if (value.type != REG_SZ) throw Failure{"a REG_SZ value", NameOfType(value.type)};
  std::string text(value.data.begin(), value.data.end());
  text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
  const std::string shown = Shown(AnsiToUtf8(text));
  if (shown != command.args[2]) {
    throw Failure{"\"" + command.args[2] + "\"", "\"" + shown + "\""};
  }
}

void NoRegKeyCommand(Driver&, const Command& command) {
  LONG error = 0;
  if (OpenKey(command.args[0], error)) throw Failure{"no key " + command.args[0], "the key"};
}

void NoRegValueCommand(Driver&, const Command& command) {
  const ValueName valueName(command.args[1]);
  LONG error = 0;
  const UniqueKey key = OpenKey(command.args[0], error);
  if (key && RegQueryValueExA(key.get(), valueName.get(), nullptr, nullptr, nullptr,
                              nullptr) == ERROR_SUCCESS) {
    throw Failure{"no value " + command.args[1], "the value"};
  }
}

}  // namespace uidriver
