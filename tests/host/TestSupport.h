// Real temporary folders and hand-made package bytes for the host tests.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// A fresh folder below the system's temporary folder, removed with its
// content when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::string& content);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
// Names in a folder, sorted, "." and ".." left out.
std::vector<std::string> ListFolder(const std::string& path);
void RemoveTree(const std::string& path);

// One zlib stream of `data`.
std::string Deflate(const std::string& data, int level = Z_DEFAULT_COMPRESSION,
                    int windowBits = MAX_WBITS);
// A zlib stream that needs a preset dictionary, which the reader never sets.
std::string DeflateWithDictionary(const std::string& data, const std::string& dictionary);
// Bytes that compress poorly, then well: `size` bytes from `seed`.
std::string MixedContent(size_t size, unsigned seed);

std::string Int32(int32_t value);

// A directory record with every field under the test's control; a length
// left unset is the length of its text.
struct RawRecord {
  int32_t offset = 0;
  int32_t inflatedSize = 0;
  int32_t compressedSize = 0;
  std::string fileName;
  std::string folderName;
  std::optional<int32_t> fileLength;
  std::optional<int32_t> folderLength;
};

std::string RecordBytes(const RawRecord& record);
std::string Tail(int32_t titleLength, int32_t count, const std::string& version = "1.00",
                 const std::string& magic = "!HAOWHDFS!");

// Builds a well-formed package: an image, one stream per entry back to back,
// records, title and tail.
struct PackageEntry {
  std::string folderName;
  std::string fileName;
  std::string content;
  int level = Z_DEFAULT_COMPRESSION;
  int windowBits = MAX_WBITS;
};

struct BuiltPackage {
  std::string bytes;
  std::vector<RawRecord> records;
};

BuiltPackage BuildPackage(const std::vector<PackageEntry>& entries,
                          const std::string& title = "",
                          const std::string& image = std::string(1024, 'I'));

// Reassembles a package from an image and blobs placed at chosen offsets
// (gaps are filled with 'G'), then the records, the title and the tail.
std::string AssemblePackage(const std::string& image,
                            const std::vector<std::pair<int32_t, std::string>>& blobs,
                            const std::vector<RawRecord>& records,
                            const std::string& title = "");

// Signed executables. PeImage gives the headers of a PE image (PE32 or
// PE32+) with 16 empty data directories; Sign does what a signing tool does
// to a file: zero padding, then the certificate table `table`, recorded in
// the header's security directory.
constexpr uint32_t kPeNewHeader = 0x80;
constexpr uint16_t kPe32 = 0x10B;
constexpr uint16_t kPe32Plus = 0x20B;
std::string PeImage(uint16_t magic = kPe32);
void SetSecurityDirectory(std::string& bytes, uint32_t start, uint32_t size);
std::string Sign(std::string package, size_t padding,
                 const std::string& table = std::string(600, '\x30'));

}  // namespace testing_support
