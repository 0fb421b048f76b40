// Writes installer packages: the executable image, one zlib stream per
// entry, the directory, the title and the tail. Entries are compressed in
// parallel; the output does not depend on the number of threads.
#pragma once

#include <zlib.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace pack {

// Any failure of packing, with a message fit for the user.
class PackError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct PackEntry {
  std::string folderName;  // GBK, empty or ending in a backslash
  std::string fileName;    // GBK, 1..999 bytes
  std::string sourcePath;  // file on this machine
};

struct PackOptions {
  std::string imagePath;
  std::string outputPath;
  std::string title;       // GBK, at most 999 bytes
  unsigned jobs = 1;
  int level = Z_DEFAULT_COMPRESSION;
  int windowBits = MAX_WBITS;
};

// Checks the entries against the format's limits, then writes the package
// to a temporary file beside the output and renames it into place, so a
// failed run never leaves a package under the output name. Throws PackError.
void WritePackage(const PackOptions& options, const std::vector<PackEntry>& entries);

// Splits "folder\\file" at its last backslash character (GBK-aware).
PackEntry SplitPackageName(const std::string& name);

// One zlib stream (zlib wrapper) of a file's whole content.
struct CompressedFile {
  std::vector<unsigned char> stream;
  int64_t inflatedSize = 0;
};
CompressedFile CompressFile(const std::string& path, int level, int windowBits);

}  // namespace pack
