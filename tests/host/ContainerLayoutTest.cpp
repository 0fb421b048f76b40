// The byte layout that the packer writes and the reader expects, and the
// packer's limits.
#include <gtest/gtest.h>

#include <memory>

#include "payload/PayloadReader.h"
#include "tests/host/TestSupport.h"
#include "tools/pack/PackageWriter.h"

namespace {

using namespace testing_support;

class ContainerLayoutTest : public ::testing::Test {
 protected:
  // Writes one source file per entry and returns the packer's entries.
  std::vector<pack::PackEntry> Sources(const std::vector<PackageEntry>& entries) {
    std::vector<pack::PackEntry> result;
    for (size_t i = 0; i < entries.size(); ++i) {
      const std::string source = dir_ / ("source" + std::to_string(i));
      WriteFile(source, entries[i].content);
      result.push_back({entries[i].folderName, entries[i].fileName, source});
    }
    return result;
  }
  pack::PackOptions Options(unsigned jobs = 2) {
    WriteFile(image_, image);
    pack::PackOptions options;
    options.imagePath = image_;
    options.outputPath = output_;
    options.jobs = jobs;
    return options;
  }

  TempDir dir_;
  const std::string image = std::string(638976, '\x90');
  std::string image_ = dir_ / "image.exe";
  std::string output_ = dir_ / "package.exe";
};

TEST_F(ContainerLayoutTest, TwentyFiveEntriesWithAnEmptyTitle) {
  std::vector<PackageEntry> entries;
  for (int i = 0; i < 25; ++i) {
    entries.push_back({i < 20 ? "" : "skin\\", "f" + std::to_string(i), MixedContent(1000 + i * 10, i)});
  }
  pack::WritePackage(Options(), Sources(entries));
  const std::string bytes = ReadFile(output_);

  const std::string tail("\x00\x00\x00\x00\x19\x00\x00\x00" "1.00" "!HAOWHDFS!", 22);
  EXPECT_EQ(bytes.substr(bytes.size() - 22), tail);
  EXPECT_EQ(bytes.substr(0, image.size()), image);

  // Streams back to back from the end of the image, each a default zlib
  // stream; the directory starts where the last stream ends.
  auto reader = std::make_unique<payload::PayloadReader>(output_);
  ASSERT_EQ(reader->ReadDirectory(output_), payload::PAYLOAD_OK);
  int64_t expectedOffset = static_cast<int64_t>(image.size());
  size_t directorySize = 0;
  for (int32_t i = 0; i < 25; ++i) {
    const payload::DirectoryRecord& record = reader->GetRecord(i);
    EXPECT_EQ(record.offset, expectedOffset);
    EXPECT_EQ(bytes.substr(static_cast<size_t>(record.offset), 2), "\x78\x9C");
    EXPECT_EQ(record.inflatedSize, static_cast<int32_t>(entries[i].content.size()));
    EXPECT_EQ(record.folderName, entries[i].folderName);
    expectedOffset += record.compressedSize;
    directorySize += 20 + record.folderName.size() + record.fileName.size();
  }
  EXPECT_EQ(static_cast<size_t>(expectedOffset) + directorySize + 22, bytes.size());

  // Entry 0 lies in the install folder: its record ends with the name, its
  // length and a folder length of zero.
  const std::string record0 = bytes.substr(static_cast<size_t>(expectedOffset), 20 + 2);
  EXPECT_EQ(record0.substr(12), std::string("f0\x02\x00\x00\x00\x00\x00\x00\x00", 10));
}

TEST_F(ContainerLayoutTest, OutputIsTheSameForAnyNumberOfThreads) {
  std::vector<PackageEntry> entries;
  for (int i = 0; i < 40; ++i) {
    entries.push_back({"d" + std::to_string(i % 4) + "\\", "f" + std::to_string(i),
                       MixedContent(static_cast<size_t>(i) * 5000, i)});
  }
  const std::vector<pack::PackEntry> sources = Sources(entries);
  pack::PackOptions options = Options(1);
  options.title = "title";
  pack::WritePackage(options, sources);
  const std::string single = ReadFile(output_);
  options.jobs = 7;
  pack::WritePackage(options, sources);
  EXPECT_EQ(ReadFile(output_), single);
}

TEST_F(ContainerLayoutTest, LimitsAreEnforcedAndNothingIsLeftBehind) {
  const std::vector<pack::PackEntry> one = Sources({{"", "a", "A"}});
  const std::string source = one[0].sourcePath;
  struct Case {
    const char* name;
    std::vector<pack::PackEntry> entries;
    std::string title;
  };
  std::vector<Case> cases = {
      {"no entries", {}, ""},
      {"title of 1000 bytes", one, std::string(1000, 't')},
      {"empty file name", {{"", "", source}}, ""},
      {"file name of 1000 bytes", {{"", std::string(1000, 'n'), source}}, ""},
      {"folder name of 1000 bytes", {{std::string(999, 'd') + "\\", "n", source}}, ""},
      {"folder without backslash", {{"sub", "n", source}}, ""},
      // Below "C:\\", the shortest install folder, the path would not fit
      // 260 bytes with its NUL.
      {"name of 257 bytes", {{std::string(199, 'd') + "\\", std::string(57, 'n'), source}}, ""},
      {"name leaving the folder", {{"..\\", "n", source}}, ""},
      {"drive letter", {{"", "C:x", source}}, ""},
      {"missing source", {{"", "n", dir_ / "missing"}}, ""},
      {"20001 entries", std::vector<pack::PackEntry>(20001, {"", "n", source}), ""},
  };
  WriteFile(output_, "previous package");
  for (const Case& c : cases) {
    pack::PackOptions options = Options();
    options.title = c.title;
    EXPECT_THROW(pack::WritePackage(options, c.entries), pack::PackError) << c.name;
    EXPECT_EQ(ReadFile(output_), "previous package") << c.name;
    EXPECT_EQ(ListFolder(dir_.path()).size(), 3u) << c.name;  // no partial file
  }

  // The largest title and the longest name any install folder can hold
  // still pack.
  pack::PackOptions options = Options();
  options.title = std::string(999, 't');
  pack::WritePackage(options, {{std::string(199, 'd') + "\\", std::string(56, 'n'), source}});
  auto reader = std::make_unique<payload::PayloadReader>(output_);
  EXPECT_EQ(reader->ReadDirectory(output_), payload::PAYLOAD_OK);
  // So do as many entries as the reader takes.
  std::vector<pack::PackEntry> most;
  for (int i = 0; i < payload::kMaxEntries; ++i) most.push_back({"", std::to_string(i), source});
  pack::WritePackage(Options(), most);
  EXPECT_EQ(reader->ReadDirectory(output_), payload::PAYLOAD_OK);
  EXPECT_EQ(reader->GetEntryCount(), payload::kMaxEntries);
}

// A package is a PE file whose checksum covers the payload too, computed
// here the way the loader checks it: one 16-bit word at a time, the carry
// folded in after each, the field itself as zero. An image that is no PE
// file is copied as it is.
TEST_F(ContainerLayoutTest, APackageOfAPeImageCarriesTheWholeFilesChecksum) {
  std::string pe = image;
  const size_t peAt = 0x80, fieldAt = peAt + 4 + 20 + 64;
  pe.replace(0, 2, "MZ");
  pe.replace(0x3C, 4, std::string("\x80\0\0\0", 4));
  pe.replace(peAt, 4, std::string("PE\0\0", 4));
  pe.replace(fieldAt, 4, "\x12\x34\x56\x78");
  for (const std::string& payload : {std::string("odd"), MixedContent(70001, 3)}) {
    pack::PackOptions options = Options();
    WriteFile(image_, pe);
    pack::WritePackage(options, Sources({{"", "a", payload}}));
    const std::string bytes = ReadFile(output_);
    std::string padded = bytes;
    padded.replace(fieldAt, 4, 4, '\0');
    if (padded.size() % 2) padded += '\0';
    uint32_t sum = 0;
    for (size_t i = 0; i < padded.size(); i += 2) {
      sum += static_cast<unsigned char>(padded[i]) | static_cast<unsigned char>(padded[i + 1]) << 8;
      sum = (sum & 0xFFFF) + (sum >> 16);
    }
    const uint32_t expected = sum + static_cast<uint32_t>(bytes.size());
    const auto* field = reinterpret_cast<const unsigned char*>(bytes.data() + fieldAt);
    EXPECT_EQ(field[0] | field[1] << 8 | field[2] << 16 | static_cast<uint32_t>(field[3]) << 24,
              expected)
        << bytes.size() << " bytes";
    EXPECT_EQ(bytes.substr(0, fieldAt), pe.substr(0, fieldAt));
  }
  pack::WritePackage(Options(), Sources({{"", "a", "A"}}));
  EXPECT_EQ(ReadFile(output_).substr(0, image.size()), image);
}

TEST(PackageName, SplitsAtTheLastBackslashCharacter) {
  EXPECT_EQ(pack::SplitPackageName("a\\b\\c.txt").folderName, "a\\b\\");
  EXPECT_EQ(pack::SplitPackageName("a\\b\\c.txt").fileName, "c.txt");
  EXPECT_EQ(pack::SplitPackageName("root.txt").folderName, "");
  // "\x81\x5C" is one character: it is the file name, not a separator.
  EXPECT_EQ(pack::SplitPackageName("d\\\x81\x5C").fileName, "\x81\x5C");
  EXPECT_EQ(pack::SplitPackageName("d\\\x81\x5C").folderName, "d\\");
}

}  // namespace
