// What the commands share: result names, error lines, reading a directory.
#include <cstdio>

#include "payload/PayloadFormat.h"
#include "payload/PlatformFile.h"
#include "tools/pack/Commands.h"

namespace pack {

const char* ResultName(int32_t code) {
  switch (code) {
    case payload::PAYLOAD_OPEN_FAILED: return "cannot open the package (1000)";
    case payload::PAYLOAD_BAD_TRAILER: return "not a valid package: bad tail or directory (1001)";
    case payload::PAYLOAD_OK: return "ok (1002)";
    case payload::PAYLOAD_NO_ENTRIES: return "package has no entries (1004)";
    case payload::PAYLOAD_ENTRY_FAILED: return "one or more entries failed (1005)";
    case payload::PAYLOAD_REOPEN_FAILED: return "cannot reopen the package (1006)";
    case payload::PAYLOAD_FILE_ERROR: return "a read or write failed (1007)";
    default: return "unknown result";
  }
}

void ReportError(const std::string& message) {
  std::fprintf(stderr, "parvane-pack: %s\n", message.c_str());
}

std::string FileErrorText(const payload::FileError& error) {
  return error.fileName() + ": " + payload::DescribeSystemError(error.code());
}

bool ReadPackageDirectory(payload::PayloadReader& reader, const std::string& packagePath,
                          int32_t& code) {
  code = reader.ReadDirectory(packagePath);
  if (code != payload::PAYLOAD_FILE_ERROR) return true;
  ReportError("cannot read " + FileErrorText(reader.GetFileError()));
  return false;
}

}  // namespace pack
