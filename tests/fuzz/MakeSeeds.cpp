// Writes the seed corpus of the payload fuzzer: small well-formed packages
// that reach every extraction path, and damaged ones that sit just across
// each check of the directory walk, the stream and the name rules, so the
// fuzzer starts next to the edges instead of having to find them.
//
//   make_fuzz_seeds <folder>
#include <sys/stat.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "tests/host/TestSupport.h"

namespace {

using testing_support::AssemblePackage;
using testing_support::BuildPackage;
using testing_support::Deflate;
using testing_support::DeflateWithDictionary;
using testing_support::Int32;
using testing_support::MixedContent;
using testing_support::PackageEntry;
using testing_support::RawRecord;
using testing_support::Tail;
using testing_support::kPe32Plus;
using testing_support::PeImage;
using testing_support::Sign;

constexpr size_t kMaxSeedSize = 64 * 1024;  // the fuzzer runs with -max_len=65536

// Tail fields, counted back from the end of the file.
constexpr size_t kTitleLengthBack = 22;
constexpr size_t kCountBack = 18;
constexpr size_t kVersionBack = 14;
constexpr size_t kMagicBack = 10;

const std::string kImage(256, 'I');

std::string Patch(std::string bytes, size_t distanceBack, const std::string& with) {
  bytes.replace(bytes.size() - distanceBack, with.size(), with);
  return bytes;
}

std::string FlipByte(std::string bytes, size_t at) {
  bytes[at] = static_cast<char>(bytes[at] ^ 0x55);
  return bytes;
}

// One entry whose stream and record are given, behind the common image.
std::string OneStream(const std::string& stream, RawRecord record) {
  record.offset = static_cast<int32_t>(kImage.size());
  if (record.compressedSize == 0) record.compressedSize = static_cast<int32_t>(stream.size());
  return AssemblePackage(kImage, {{record.offset, stream}}, {record});
}

RawRecord Named(const std::string& folderName, const std::string& fileName) {
  RawRecord record;
  record.folderName = folderName;
  record.fileName = fileName;
  record.inflatedSize = 5;
  return record;
}

std::vector<std::pair<std::string, std::string>> WellFormed() {
  std::vector<std::pair<std::string, std::string>> seeds;
  seeds.emplace_back("ok-one-entry", BuildPackage({{"", "a.txt", "hello"}}, "", kImage).bytes);
  seeds.emplace_back(
      "ok-folders",
      BuildPackage({{"", "readme.txt", "read me first\r\n"},
                    {"docs\\", "guide.txt", MixedContent(3000, 1)},
                    {"docs\\img\\", "logo.bin", MixedContent(9000, 2)},
                    {"docs\\", "empty", ""}},
                   "Setup", kImage)
          .bytes);
  // 0x81 0x5C is one character whose trail byte is a backslash.
  seeds.emplace_back("ok-gbk-folder",
                     BuildPackage({{"\x81\x5C\\", "x.txt", "gbk"},
                                   {"\xB0\xB2\\", "\x95\x5C" ".txt", "trail"},
                                   {"\x81\x5C", "joined", "no separator after it"}},
                                  "\xB0\xB2\xD7\xB0", kImage)
                         .bytes);
  seeds.emplace_back("ok-title-longest",
                     BuildPackage({{"", "t", "t"}}, std::string(999, 'T'), kImage).bytes);
  seeds.emplace_back("ok-empty-file", BuildPackage({{"", "empty", ""}}, "", kImage).bytes);
  seeds.emplace_back("ok-no-image", BuildPackage({{"", "a", "first byte of the file"}}, "", "").bytes);

  std::vector<PackageEntry> levels;
  for (int level = 0; level <= 9; ++level) {
    levels.push_back({"l\\", "level" + std::to_string(level), MixedContent(2500, level), level});
  }
  seeds.emplace_back("ok-every-level", BuildPackage(levels, "levels", kImage).bytes);

  seeds.emplace_back("ok-small-window",
                     BuildPackage({{"", "w", MixedContent(5000, 3), 9, 9}}, "", kImage).bytes);
  seeds.emplace_back("ok-same-name-twice",
                     BuildPackage({{"", "same", "first"}, {"", "same", "second"}}, "", kImage)
                         .bytes);
  std::vector<PackageEntry> many;
  for (int i = 0; i < 150; ++i) many.push_back({"m\\", "f" + std::to_string(i), ""});
  seeds.emplace_back("ok-many-entries", BuildPackage(many, "", kImage).bytes);
  // Signed: the tail stands before a certificate table and its padding.
  const std::string signable =
      BuildPackage({{"", "a.txt", "signed"}, {"d\\", "b", MixedContent(2000, 4)}}, "", PeImage())
          .bytes;
  seeds.emplace_back("ok-signed", Sign(signable, 3));
  seeds.emplace_back("ok-signed-pe32plus",
                     Sign(BuildPackage({{"", "p", "plus"}}, "", PeImage(kPe32Plus)).bytes, 0));
  seeds.emplace_back("signed-eight-zero-bytes", Sign(signable, 8));
  // Larger than the harness's file size limit: the write fails part way.
  seeds.emplace_back("ok-large-output",
                     BuildPackage({{"", "zeros", std::string(9u << 20, '\0'), 9}}, "", kImage)
                         .bytes);
  return seeds;
}

std::vector<std::pair<std::string, std::string>> BadTail() {
  const std::string base = BuildPackage({{"", "a.txt", "hello hello"}}, "Title", kImage).bytes;
  std::vector<std::pair<std::string, std::string>> seeds;
  seeds.emplace_back("tail-bad-magic", Patch(base, kMagicBack, "!HAOWHDFS?"));
  seeds.emplace_back("tail-wrong-version", Patch(base, kVersionBack, "1.01"));
  seeds.emplace_back("tail-zero-count", Patch(base, kCountBack, Int32(0)));
  seeds.emplace_back("tail-negative-count", Patch(base, kCountBack, Int32(-1)));
  seeds.emplace_back("tail-count-past-table", Patch(base, kCountBack, Int32(20001)));
  seeds.emplace_back("tail-count-at-table", Patch(base, kCountBack, Int32(20000)));
  seeds.emplace_back("tail-count-huge", Patch(base, kCountBack, Int32(0x7FFFFFFF)));
  seeds.emplace_back("tail-title-1000", Patch(base, kTitleLengthBack, Int32(1000)));
  seeds.emplace_back("tail-title-minus-one", Patch(base, kTitleLengthBack, Int32(-1)));
  seeds.emplace_back("tail-only", Tail(0, 1));
  seeds.emplace_back("tail-short", Tail(0, 1).substr(1));
  return seeds;
}

std::vector<std::pair<std::string, std::string>> BadRecords() {
  const std::string stream = Deflate("hello");
  std::vector<std::pair<std::string, std::string>> seeds;
  auto withLengths = [&](int32_t fileLength, int32_t folderLength) {
    RawRecord record = Named("d\\", "a.txt");
    record.fileLength = fileLength;
    record.folderLength = folderLength;
    return OneStream(stream, record);
  };
  seeds.emplace_back("record-file-length-1000", withLengths(1000, -1));
  seeds.emplace_back("record-file-length-negative", withLengths(-2, -1));
  seeds.emplace_back("record-folder-length-1000", withLengths(-1, 1000));
  seeds.emplace_back("record-folder-length-min", withLengths(-1, INT32_MIN));
  // The lengths are within range but reach back past byte 0.
  {
    RawRecord record = Named("", "a");
    record.fileLength = 600;
    seeds.emplace_back("record-before-start",
                       AssemblePackage("", {{0, stream}}, {record}));
  }
  {
    std::string package = OneStream(stream, Named("", "a"));
    seeds.emplace_back("record-count-beyond-records", Patch(package, kCountBack, Int32(3)));
  }
  {
    RawRecord record = Named("", std::string(999, 'n'));
    seeds.emplace_back("record-longest-name", OneStream(stream, record));
  }
  return seeds;
}

std::vector<std::pair<std::string, std::string>> BadStreams() {
  const std::string content = MixedContent(6000, 7);
  const std::string stream = Deflate(content);
  const RawRecord record = Named("", "data");
  const size_t start = kImage.size();
  std::vector<std::pair<std::string, std::string>> seeds;

  const std::string good = OneStream(stream, record);
  seeds.emplace_back("stream-flipped-byte", FlipByte(good, start + stream.size() / 2));
  seeds.emplace_back("stream-bad-adler", FlipByte(good, start + stream.size() - 2));
  seeds.emplace_back("stream-bad-header", FlipByte(good, start));
  seeds.emplace_back("stream-truncated", OneStream(stream.substr(0, stream.size() / 2), record));
  seeds.emplace_back("stream-raw-deflate", OneStream(Deflate(content, 6, -15), record));
  seeds.emplace_back("stream-gzip", OneStream(Deflate(content, 6, 31), record));
  seeds.emplace_back("stream-dictionary",
                     OneStream(DeflateWithDictionary(content, content.substr(0, 512)), record));

  auto withOffset = [&](int32_t offset) {
    RawRecord moved = record;
    moved.offset = offset;
    moved.compressedSize = static_cast<int32_t>(stream.size());
    return AssemblePackage(kImage, {{static_cast<int32_t>(start), stream}}, {moved});
  };
  const int32_t size = static_cast<int32_t>(good.size());
  seeds.emplace_back("offset-at-end", withOffset(size));
  seeds.emplace_back("offset-beyond-end", withOffset(size + 4096));
  seeds.emplace_back("offset-largest", withOffset(0x7FFFFFFF));
  seeds.emplace_back("offset-negative", withOffset(-1));
  seeds.emplace_back("offset-into-image", withOffset(0));
  seeds.emplace_back("offset-into-records", withOffset(size - 40));

  auto withCompressedSize = [&](int32_t compressedSize) {
    RawRecord sized = record;
    sized.offset = static_cast<int32_t>(start);
    sized.compressedSize = compressedSize;
    return AssemblePackage(kImage, {{sized.offset, stream}}, {sized});
  };
  seeds.emplace_back("size-compressed-zero", withCompressedSize(0));
  seeds.emplace_back("size-compressed-too-small", withCompressedSize(1));
  seeds.emplace_back("size-compressed-huge", withCompressedSize(0x7FFFFFFF));
  seeds.emplace_back("size-compressed-negative", withCompressedSize(-1));
  return seeds;
}

std::vector<std::pair<std::string, std::string>> BadNames() {
  const std::string stream = Deflate("name");
  std::vector<std::pair<std::string, std::string>> seeds;
  auto named = [&](const char* seed, const std::string& folder, const std::string& file) {
    seeds.emplace_back(seed, OneStream(stream, Named(folder, file)));
  };
  named("name-dotdot-folder", "..\\", "escaped");
  named("name-dotdot-file", "d\\", "..");
  named("name-dots-and-blanks", ". .\\", "x");
  named("name-colon", "C:\\", "x");
  named("name-slash", "a/b\\", "x");
  named("name-leading-backslash", "\\abs\\", "x");
  named("name-empty-component", "a\\\\b\\", "x");
  named("name-empty-file", "d\\", "");
  named("name-path-too-long", std::string(240, 'p') + "\\", std::string(30, 'f'));
  // The replay plants links named L (a folder) and F (the package) in the
  // target: these names would write through them.
  named("link-folder", "L\\", "p");
  named("link-folder-in-file-name", "", "L\\t");
  named("link-folder-without-backslash", "L", "x");
  named("link-file", "", "F");
  return seeds;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_fuzz_seeds <folder>\n");
    return 2;
  }
  const std::string folder = argv[1];
  if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
    std::fprintf(stderr, "cannot create %s\n", folder.c_str());
    return 1;
  }
  try {
    std::vector<std::pair<std::string, std::string>> seeds;
    for (auto group : {WellFormed(), BadTail(), BadRecords(), BadStreams(), BadNames()}) {
      seeds.insert(seeds.end(), group.begin(), group.end());
    }
    for (const auto& seed : seeds) {
      if (seed.second.size() > kMaxSeedSize) {
        std::fprintf(stderr, "seed %s is %zu bytes, over the fuzzer's input limit\n",
                     seed.first.c_str(), seed.second.size());
        return 1;
      }
      testing_support::WriteFile(folder + "/" + seed.first + ".pkg", seed.second);
    }
    std::printf("%zu seeds written to %s\n", seeds.size(), folder.c_str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "make_fuzz_seeds: %s\n", error.what());
    return 1;
  }
  return 0;
}
