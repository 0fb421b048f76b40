// The commands of parvane-pack. Each returns the process exit status.
#pragma once

#include <string>
#include <vector>

#include "payload/PayloadReader.h"
#include "payload/PlatformFile.h"

namespace pack {

enum ExitStatus {
  EXIT_OK = 0,          // done; the package is good
  EXIT_BAD_PACKAGE = 1, // not a good package, a failed check, or a failed build
  EXIT_USAGE = 2,       // the command line is wrong
  EXIT_IO_ERROR = 3,    // a read or write failed
};

struct BuildRequest {
  std::string imagePath;
  std::string outputPath;
  std::string title;
  std::string listPath;
  std::string rootFolder;
  unsigned jobs = 0;  // 0: one per core
  bool fromUtf8 = false;
};

int RunBuild(const BuildRequest& request);
int RunList(const std::string& packagePath, bool json);
int RunVerify(const std::string& packagePath);
int RunExtract(const std::string& packagePath, const std::string& folder, bool events);

// Reads the directory of a package into `reader`; on a read failure reports
// it and returns false. `code` receives the reader's result.
bool ReadPackageDirectory(payload::PayloadReader& reader, const std::string& packagePath,
                          int32_t& code);

// "<file>: <system text>" for a read or write failure of the reader.
std::string FileErrorText(const payload::FileError& error);

// Names of the reader's result codes, for messages.
const char* ResultName(int32_t code);

// Prints "parvane-pack: <message>" on stderr.
void ReportError(const std::string& message);

}  // namespace pack
