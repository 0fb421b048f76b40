// Validation of the tail and loading of the directory, including every way a
// directory can fail to fit the reader's table or the file.
#include <unistd.h>

#include <gtest/gtest.h>

#include <memory>

#include "payload/PayloadReader.h"
#include "tests/host/TestSupport.h"

namespace {

using namespace testing_support;
using payload::PayloadReader;

class ReadDirectoryTest : public ::testing::Test {
 protected:
  int32_t ReadBytes(const std::string& bytes) {
    WriteFile(package_, bytes);
    return reader_->ReadDirectory(package_);
  }

  TempDir dir_;
  std::string package_ = dir_ / "package.exe";
  std::unique_ptr<PayloadReader> reader_ = std::make_unique<PayloadReader>(package_);
};

TEST_F(ReadDirectoryTest, LoadsEveryRecordAndTheTitle) {
  const std::string title = "\xB0\xB2\xD7\xB0";  // GBK text
  BuiltPackage package = BuildPackage({{"", "Parvane.exe", "main program"},
                                       {"skin\\buttons\\", "ok.bmp", "bitmap"},
                                       {"\x81\x5C\\", "x.txt", ""}},
                                      title);
  ASSERT_EQ(ReadBytes(package.bytes), payload::PAYLOAD_OK);
  ASSERT_EQ(reader_->GetEntryCount(), 3);
  EXPECT_EQ(reader_->GetTitle(), title);
  for (int32_t i = 0; i < 3; ++i) {
    const payload::DirectoryRecord& record = reader_->GetRecord(i);
    EXPECT_EQ(record.folderName, package.records[i].folderName);
    EXPECT_EQ(record.fileName, package.records[i].fileName);
    EXPECT_EQ(record.offset, package.records[i].offset);
    EXPECT_EQ(record.compressedSize, package.records[i].compressedSize);
    EXPECT_EQ(record.inflatedSize, package.records[i].inflatedSize);
  }
  EXPECT_EQ(reader_->GetFolderName(1), "skin\\buttons\\");
  EXPECT_EQ(reader_->GetFileName(0), "Parvane.exe");
}

// One named row per damaged or unusual directory.
TEST_F(ReadDirectoryTest, ResultCodesForDamagedDirectories) {
  const std::string good = BuildPackage({{"", "a.txt", "alpha"}}).bytes;
  const std::string body = good.substr(0, good.size() - 22);  // image, stream, record
  RawRecord record;
  record.offset = 0;
  record.fileName = "a";

  struct Case {
    const char* name;
    std::string bytes;
    int32_t expected;
  };
  const Case cases[] = {
      {"valid package", good, payload::PAYLOAD_OK},
      {"empty file", "", payload::PAYLOAD_BAD_TRAILER},
      {"shorter than the tail", good.substr(good.size() - 21), payload::PAYLOAD_BAD_TRAILER},
      {"magic only", "!HAOWHDFS!", payload::PAYLOAD_BAD_TRAILER},
      {"wrong magic", body + Tail(0, 1, "1.00", "!HAOWHDFS?"), payload::PAYLOAD_BAD_TRAILER},
      {"magic's first byte wrong", body + Tail(0, 1, "1.00", "?HAOWHDFS!"),
       payload::PAYLOAD_BAD_TRAILER},
      {"lower-case magic", body + Tail(0, 1, "1.00", "!haowhdfs!"), payload::PAYLOAD_BAD_TRAILER},
      {"version 1.01", body + Tail(0, 1, "1.01"), payload::PAYLOAD_BAD_TRAILER},
      {"version 1,00", body + Tail(0, 1, "1,00"), payload::PAYLOAD_BAD_TRAILER},
      {"version 01.0", body + Tail(0, 1, "01.0"), payload::PAYLOAD_BAD_TRAILER},
      {"no entries", body + Tail(0, 0), payload::PAYLOAD_NO_ENTRIES},
      {"no entries, bad title length", Tail(5000, 0), payload::PAYLOAD_NO_ENTRIES},
      {"negative count", body + Tail(0, -1), payload::PAYLOAD_BAD_TRAILER},
      {"count 20001", body + Tail(0, 20001), payload::PAYLOAD_BAD_TRAILER},
      {"count larger than the file holds", body + Tail(0, 2), payload::PAYLOAD_BAD_TRAILER},
      {"count 20000 in a tiny file", body + Tail(0, 20000), payload::PAYLOAD_BAD_TRAILER},
      {"title length 1000", std::string(1000, 't') + body + Tail(1000, 1),
       payload::PAYLOAD_BAD_TRAILER},
      {"negative title length", body + Tail(-1, 1), payload::PAYLOAD_BAD_TRAILER},
      {"title before the start", Tail(500, 1), payload::PAYLOAD_BAD_TRAILER},
      {"folder length 1000",
       std::string(2000, 'x') + RecordBytes({0, 0, 0, "a", std::string(1000, 'f')}) + Tail(0, 1),
       payload::PAYLOAD_BAD_TRAILER},
      {"negative folder length", RecordBytes({0, 0, 0, "a", "", std::nullopt, -4}) + Tail(0, 1),
       payload::PAYLOAD_BAD_TRAILER},
      {"file length 1000",
       std::string(2000, 'x') + RecordBytes({0, 0, 0, std::string(1000, 'n'), ""}) + Tail(0, 1),
       payload::PAYLOAD_BAD_TRAILER},
      {"negative file length", RecordBytes({0, 0, 0, "a", "", -7}) + Tail(0, 1),
       payload::PAYLOAD_BAD_TRAILER},
      {"file name before the start", RecordBytes({0, 0, 0, "", "", 100}) + Tail(0, 1),
       payload::PAYLOAD_BAD_TRAILER},
      {"offset field before the start", RecordBytes(record).substr(4) + Tail(0, 1),
       payload::PAYLOAD_BAD_TRAILER},
      {"record exactly at the start", RecordBytes(record) + Tail(0, 1), payload::PAYLOAD_OK},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadBytes(c.bytes), c.expected) << c.name;
    if (c.expected != payload::PAYLOAD_OK) {
      EXPECT_EQ(reader_->GetEntryCount(), 0) << c.name;
    }
  }
}

TEST_F(ReadDirectoryTest, OpenFailures) {
  EXPECT_EQ(reader_->ReadDirectory(dir_ / "missing.exe"), payload::PAYLOAD_OPEN_FAILED);
  EXPECT_EQ(reader_->ReadDirectory(dir_.path()), payload::PAYLOAD_OPEN_FAILED);
}

TEST_F(ReadDirectoryTest, FailureClearsTheTableOfAnEarlierRead) {
  ASSERT_EQ(ReadBytes(BuildPackage({{"f\\", "a", "1"}, {"", "b", "2"}}, "title").bytes),
            payload::PAYLOAD_OK);
  ASSERT_EQ(reader_->GetEntryCount(), 2);
  EXPECT_EQ(ReadBytes("not a package at all, just text"), payload::PAYLOAD_BAD_TRAILER);
  EXPECT_EQ(reader_->GetEntryCount(), 0);
  EXPECT_EQ(reader_->GetFileName(0), "");
  EXPECT_EQ(reader_->GetFolderName(0), "");
  EXPECT_EQ(reader_->GetRecord(1).inflatedSize, 0);
}

TEST_F(ReadDirectoryTest, NamesAndTitleEndAtAZeroByte) {
  RawRecord record{0, 3, 3, std::string("ab\0cd", 5), std::string("d\0e\\", 4)};
  const std::string title("ti\0tle", 6);
  ASSERT_EQ(ReadBytes(RecordBytes(record) + title + Tail(6, 1)), payload::PAYLOAD_OK);
  EXPECT_EQ(reader_->GetFileName(0), "ab");
  EXPECT_EQ(reader_->GetFolderName(0), "d");
  EXPECT_EQ(reader_->GetTitle(), "ti");
}

TEST_F(ReadDirectoryTest, LargestDirectoryThatFitsIsAccepted) {
  std::string bytes;
  for (int i = 0; i < payload::kMaxEntries; ++i) {
    bytes += RecordBytes({i, 0, 0, i == 0 ? std::string(999, 'n') : "f", i == 0 ? std::string(999, 'd') : ""});
  }
  bytes += std::string(999, 'T') + Tail(999, payload::kMaxEntries);
  ASSERT_EQ(ReadBytes(bytes), payload::PAYLOAD_OK);
  EXPECT_EQ(reader_->GetEntryCount(), payload::kMaxEntries);
  EXPECT_EQ(reader_->GetFileName(0).size(), 999u);
  EXPECT_EQ(reader_->GetFolderName(0).size(), 999u);
  EXPECT_EQ(reader_->GetTitle().size(), 999u);
  EXPECT_EQ(reader_->GetRecord(payload::kMaxEntries - 1).offset, payload::kMaxEntries - 1);
}

// Builds a path of exactly `length` bytes below `base` from short folders.
std::string PathOfLength(const std::string& base, size_t length) {
  std::string path = base;
  while (path.size() + 1 + 100 < length) {
    path += "/" + std::string(99, 'd');
    mkdir(path.c_str(), 0755);
  }
  return path + "/" + std::string(length - path.size() - 1, 'p');
}

TEST_F(ReadDirectoryTest, PathsOfMaxPathBytesAreRefused) {
  const std::string package = BuildPackage({{"", "a", "1"}}).bytes;
  const std::string fits = PathOfLength(dir_.path(), 259);
  const std::string tooLong = PathOfLength(dir_.path(), 260);
  WriteFile(fits, package);
  WriteFile(tooLong, package);
  EXPECT_EQ(reader_->ReadDirectory(fits), payload::PAYLOAD_OK);
  EXPECT_EQ(reader_->ReadDirectory(tooLong), payload::PAYLOAD_OPEN_FAILED);

  // A short relative path that grows too long once made absolute.
  const std::string folder = tooLong.substr(0, tooLong.rfind('/'));
  const std::string name = tooLong.substr(tooLong.rfind('/') + 1);
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(folder.c_str()), 0);
  const int32_t relative = reader_->ReadDirectory(name);
  ASSERT_EQ(chdir(previous), 0);
  EXPECT_EQ(relative, payload::PAYLOAD_OPEN_FAILED);
}

}  // namespace
