#include "tests/host/TestSupport.h"

#include <dirent.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>

namespace testing_support {

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/parvane-test-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() { RemoveTree(path_); }

void RemoveTree(const std::string& path) {
  nftw(
      path.c_str(),
      [](const char* name, const struct stat*, int, struct FTW*) {
        chmod(name, 0700);
        return std::remove(name) == 0 ? 0 : 0;
      },
      16, FTW_DEPTH | FTW_PHYS);
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

bool Exists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

std::vector<std::string> ListFolder(const std::string& path) {
  std::vector<std::string> names;
  std::unique_ptr<DIR, int (*)(DIR*)> folder(opendir(path.c_str()), closedir);
  if (!folder) return names;
  while (dirent* item = readdir(folder.get())) {
    std::string name = item->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

namespace {

// Runs an initialised deflate stream over all of `data` and ends it.
std::string Finish(z_stream& stream, const std::string& data) {
  std::string out(deflateBound(&stream, data.size()) + 64, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int result = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  if (result != Z_STREAM_END) throw std::runtime_error("deflate did not finish");
  return out;
}

}  // namespace

std::string Deflate(const std::string& data, int level, int windowBits) {
  z_stream stream;
  std::memset(&stream, 0, sizeof stream);
  if (deflateInit2(&stream, level, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::runtime_error("deflateInit2 failed");
  }
  return Finish(stream, data);
}

std::string DeflateWithDictionary(const std::string& data, const std::string& dictionary) {
  z_stream stream;
  std::memset(&stream, 0, sizeof stream);
  if (deflateInit(&stream, Z_BEST_COMPRESSION) != Z_OK) throw std::runtime_error("deflateInit");
  deflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(dictionary.data()),
                       static_cast<uInt>(dictionary.size()));
  return Finish(stream, data);
}

std::string MixedContent(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string data(size, '\0');
  for (size_t i = 0; i < size; ++i) {
    // Alternating runs of noise and of a few repeated letters.
    data[i] = (i / 4096) % 2 == 0 ? static_cast<char>(random())
                                  : static_cast<char>('a' + (random() % 4));
  }
  return data;
}

std::string Int32(int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  return std::string{static_cast<char>(v), static_cast<char>(v >> 8),
                     static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

std::string RecordBytes(const RawRecord& record) {
  const int32_t fileLength =
      record.fileLength.value_or(static_cast<int32_t>(record.fileName.size()));
  const int32_t folderLength =
      record.folderLength.value_or(static_cast<int32_t>(record.folderName.size()));
  return Int32(record.offset) + Int32(record.inflatedSize) + Int32(record.compressedSize) +
         record.fileName + Int32(fileLength) + record.folderName + Int32(folderLength);
}

std::string Tail(int32_t titleLength, int32_t count, const std::string& version,
                 const std::string& magic) {
  return Int32(titleLength) + Int32(count) + version + magic;
}

BuiltPackage BuildPackage(const std::vector<PackageEntry>& entries, const std::string& title,
                          const std::string& image) {
  BuiltPackage package;
  package.bytes = image;
  for (const PackageEntry& entry : entries) {
    const std::string stream = Deflate(entry.content, entry.level, entry.windowBits);
    RawRecord record;
    record.offset = static_cast<int32_t>(package.bytes.size());
    record.inflatedSize = static_cast<int32_t>(entry.content.size());
    record.compressedSize = static_cast<int32_t>(stream.size());
    record.fileName = entry.fileName;
    record.folderName = entry.folderName;
    package.records.push_back(record);
    package.bytes += stream;
  }
  for (const RawRecord& record : package.records) package.bytes += RecordBytes(record);
  package.bytes += title + Tail(static_cast<int32_t>(title.size()),
                                static_cast<int32_t>(entries.size()));
  return package;
}

std::string AssemblePackage(const std::string& image,
                            const std::vector<std::pair<int32_t, std::string>>& blobs,
                            const std::vector<RawRecord>& records, const std::string& title) {
  std::string bytes = image;
  for (const auto& blob : blobs) {
    const size_t end = static_cast<size_t>(blob.first) + blob.second.size();
    if (bytes.size() < end) bytes.resize(end, 'G');
    bytes.replace(static_cast<size_t>(blob.first), blob.second.size(), blob.second);
  }
  for (const RawRecord& record : records) bytes += RecordBytes(record);
  return bytes + title +
         Tail(static_cast<int32_t>(title.size()), static_cast<int32_t>(records.size()));
}

namespace {

constexpr uint32_t kOptionalHeader = kPeNewHeader + 24;

void Put32(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}
void Put16(std::string& bytes, size_t at, uint16_t value) {
  bytes[at] = static_cast<char>(value);
  bytes[at + 1] = static_cast<char>(value >> 8);
}

size_t SecurityDirectory(const std::string& bytes) {
  const bool plus = static_cast<unsigned char>(bytes[kOptionalHeader]) == 0x0B &&
                    static_cast<unsigned char>(bytes[kOptionalHeader + 1]) == 0x02;
  return kOptionalHeader + (plus ? 112 : 96) + 4 * 8;
}

}  // namespace

std::string PeImage(uint16_t magic) {
  std::string image(1024, '\0');
  image[0] = 'M';
  image[1] = 'Z';
  Put32(image, 0x3C, kPeNewHeader);
  image.replace(kPeNewHeader, 4, std::string("PE\0\0", 4));
  const bool plus = magic == kPe32Plus;
  Put16(image, kPeNewHeader + 20, plus ? 240 : 224);  // size of the optional header
  Put16(image, kOptionalHeader, magic);
  Put32(image, kOptionalHeader + (plus ? 108 : 92), 16);
  return image;
}

void SetSecurityDirectory(std::string& bytes, uint32_t start, uint32_t size) {
  Put32(bytes, SecurityDirectory(bytes), start);
  Put32(bytes, SecurityDirectory(bytes) + 4, size);
}

std::string Sign(std::string package, size_t padding, const std::string& table) {
  package.append(padding, '\0');
  SetSecurityDirectory(package, static_cast<uint32_t>(package.size()),
                       static_cast<uint32_t>(table.size()));
  return package + table;
}

}  // namespace testing_support
