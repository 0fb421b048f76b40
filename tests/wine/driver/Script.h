// A driver script: UTF-8, one command per line, '#' starts a comment line.
// Arguments are separated by blanks; one that begins with a double quote
// runs to the next double quote, with no escapes, so Windows paths keep
// their backslashes.
#pragma once

#include <string>
#include <vector>

namespace uidriver {

struct Command {
  int line = 0;
  std::string source;  // the line as written (UTF-8), for messages
  std::string name;
  std::vector<std::string> args;  // UTF-8
  std::string rest;               // everything after the name, verbatim
  std::string splitError;         // why args could not be split, if they could not
};

// Throws ScriptError naming the line when a line cannot be read.
std::vector<Command> ReadScript(const std::string& path);

}  // namespace uidriver
