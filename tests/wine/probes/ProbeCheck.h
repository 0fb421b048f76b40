// The checks of the console probes: each failed one prints a line, and the
// probe's exit code says whether any failed.
#pragma once

#include <cstdio>

namespace probe {

inline int failures = 0;

inline void Check(bool condition, const char* what) {
  if (!condition) {
    std::printf("FAIL: %s\n", what);
    ++failures;
  }
}

// Prints the verdict and gives the exit code.
inline int Finish() {
  std::printf("%s\n", failures == 0 ? "ALL PASSED" : "FAILED");
  return failures == 0 ? 0 : 1;
}

}  // namespace probe
