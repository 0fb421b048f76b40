// The two ways a command can end a script: a check that did not hold
// (exit 1) and a script that cannot be run as written (exit 2).
#pragma once

#include <string>

namespace uidriver {

// Texts are UTF-8, as the script and the report are.
struct Failure {
  std::string expected;
  std::string saw;
};

struct ScriptError {
  std::string message;
};

}  // namespace uidriver
