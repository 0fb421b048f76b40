// Checks every entry of a package in memory, without writing files.
#pragma once

#include <string>
#include <vector>

#include "payload/PayloadReader.h"

namespace pack {

struct EntryReport {
  int32_t index = 0;
  std::vector<std::string> problems;  // make extraction fail or differ
  std::vector<std::string> notes;     // harmless, worth knowing
};

// Inflates entry `index` of a package whose directory `reader` holds, from
// its offset on as the installer does, and describes what is wrong with it.
EntryReport VerifyEntry(const payload::PayloadReader& reader, int32_t index,
                        const std::string& packagePath);

}  // namespace pack
