#include "Script.h"

#include <fstream>

#include "Errors.h"
#include "Text.h"

namespace uidriver {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

size_t SkipBlanks(const std::string& text, size_t at) {
  while (at < text.size() && IsBlank(text[at])) ++at;
  return at;
}

// Splits on UTF-8 text: no byte of a multi-byte UTF-8 character is a blank
// or a quote.
std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> words;
  size_t at = SkipBlanks(text, 0);
  while (at < text.size()) {
    size_t end;
    if (text[at] == '"') {
      end = text.find('"', at + 1);
      if (end == std::string::npos) throw ScriptError{"no closing double quote"};
      words.push_back(text.substr(at + 1, end - at - 1));
      ++end;
      if (end < text.size() && !IsBlank(text[end])) {
        throw ScriptError{"text right after a closing double quote"};
      }
    } else {
      end = at;
      while (end < text.size() && !IsBlank(text[end])) ++end;
      words.push_back(text.substr(at, end - at));
    }
    at = SkipBlanks(text, end);
  }
  return words;
}

Command ParseLine(int line, const std::string& utf8) {
  Command command;
  command.line = line;
  command.source = utf8;
  const size_t start = SkipBlanks(utf8, 0);
  size_t end = start;
  while (end < utf8.size() && !IsBlank(utf8[end])) ++end;
  command.name = utf8.substr(start, end - start);
  Wide(utf8);  // refuses a line that is not UTF-8
  command.rest = utf8.substr(SkipBlanks(utf8, end));
  // A command line for `start` may hold quotes that do not split.
  try {
    command.args = Split(command.rest);
  } catch (const ScriptError& error) {
    command.splitError = error.message;
  }
  return command;
}

}  // namespace

std::vector<Command> ReadScript(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw ScriptError{"cannot open the script " + path};
  std::vector<Command> commands;
  std::string text;
  int line = 0;
  while (std::getline(file, text)) {
    ++line;
    if (line == 1 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    if (!text.empty() && text.back() == '\r') text.pop_back();
    const size_t first = SkipBlanks(text, 0);
    if (first == text.size() || text[first] == '#') continue;
    try {
      commands.push_back(ParseLine(line, text));
    } catch (ScriptError& error) {
      error.message = "line " + std::to_string(line) + ": " + error.message;
      throw;
    }
  }
  return commands;
}

}  // namespace uidriver
