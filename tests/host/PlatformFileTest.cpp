// The file layer's own promises: gathered writes and reads ahead keep the
// bytes in order, refused opens fail quietly, bad seeks raise a FileError.
#include <gtest/gtest.h>

#include <cstring>

#include "payload/PlatformFile.h"
#include "tests/host/TestSupport.h"

namespace {

using namespace testing_support;

TEST(PlatformFile, GatheredWritesKeepTheirOrderAcrossTheBufferSize) {
  TempDir dir;
  const std::string path = dir / "out";
  std::string expected;
  {
    payload::File file;
    ASSERT_TRUE(file.CreateForWriting(path));
    const size_t sizes[] = {10, payload::File::kBlockSize + 7, 5,
                            payload::File::kBlockSize, 4096, 3,
                            payload::File::kBlockSize - 1};
    unsigned seed = 0;
    for (size_t size : sizes) {
      const std::string chunk = MixedContent(size, ++seed);
      file.Write(chunk.data(), static_cast<uint32_t>(chunk.size()));
      expected += chunk;
    }
    file.Flush();
    EXPECT_EQ(ReadFile(path), expected);
    file.Write("tail", 4);  // left for Close to write
  }
  EXPECT_EQ(ReadFile(path), expected + "tail");
}

TEST(PlatformFile, ReadAheadFollowsReadsExactReadsAndSeeks) {
  TempDir dir;
  const std::string content = MixedContent(3 * payload::File::kBlockSize + 123, 9);
  WriteFile(dir / "in", content);
  payload::File file;
  ASSERT_TRUE(file.OpenForReading(dir / "in"));

  std::string sequential;
  char block[4096];
  while (uint32_t count = file.Read(block, sizeof block)) sequential.append(block, count);
  EXPECT_EQ(sequential, content);

  char bytes[10000];
  file.SeekFromStart(70000);
  ASSERT_EQ(file.Read(bytes, 4096), 4096u);
  EXPECT_EQ(std::string(bytes, 4096), content.substr(70000, 4096));
  // Part from what was read ahead, the rest from the system.
  file.ReadExactly(bytes, 10000);
  EXPECT_EQ(std::string(bytes, 10000), content.substr(74096, 10000));
  file.SeekFromEnd(5);
  file.ReadExactly(bytes, 5);
  EXPECT_EQ(std::string(bytes, 5), content.substr(content.size() - 5));
  EXPECT_EQ(file.Read(bytes, 1), 0u);
}

TEST(PlatformFile, OpeningRefusesFoldersAndMissingFiles) {
  TempDir dir;
  payload::File file;
  EXPECT_FALSE(file.OpenForReading(dir.path()));
  EXPECT_FALSE(file.OpenForReading(dir / "missing"));
  EXPECT_FALSE(file.CreateForWriting(dir / "missing/folder/file"));
  EXPECT_FALSE(file.IsOpen());
}

// The first failure stays with the file and names it; after it the file
// does nothing, until it is opened again.
TEST(PlatformFile, AFailureIsKeptUntilTheFileIsOpenedAgain) {
  TempDir dir;
  WriteFile(dir / "small", "0123456789");
  payload::File file;
  ASSERT_TRUE(file.OpenForReading(dir / "small"));
  EXPECT_EQ(file.Size(), 10);
  file.SeekFromEnd(4);
  char bytes[4];
  EXPECT_TRUE(file.ReadExactly(bytes, 4));
  EXPECT_EQ(std::string(bytes, 4), "6789");
  EXPECT_FALSE(file.Failed());

  file.SeekFromEnd(11);  // before the start
  ASSERT_TRUE(file.Failed());
  const payload::FileError first = file.LastError();
  EXPECT_NE(first.code(), 0u);
  EXPECT_EQ(first.fileName(), dir / "small");
  file.SeekFromStart(0);
  EXPECT_EQ(file.Read(bytes, 4), 0u);
  std::memset(bytes, 'x', sizeof bytes);
  EXPECT_FALSE(file.ReadExactly(bytes, 4));
  EXPECT_EQ(std::string(bytes, 4), std::string(4, '\0'));
  EXPECT_EQ(file.LastError().code(), first.code());

  ASSERT_TRUE(file.OpenForReading(dir / "small"));
  EXPECT_FALSE(file.Failed());
  file.SeekFromStart(8);
  EXPECT_FALSE(file.ReadExactly(bytes, 4));  // two bytes short
  EXPECT_TRUE(file.Failed());
  EXPECT_EQ(std::string(bytes, 4), std::string("89\0\0", 4));
}

}  // namespace
