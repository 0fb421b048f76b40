// The file layer's own promises: gathered writes keep their order, and
// paths are refused by their length, not only by the system.
#include <gtest/gtest.h>

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
    const size_t sizes[] = {10, payload::File::kWriteBehindSize + 7, 5,
                            payload::File::kWriteBehindSize, 4096, 3,
                            payload::File::kWriteBehindSize - 1};
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

TEST(PlatformFile, OpeningRefusesFoldersAndMissingFiles) {
  TempDir dir;
  payload::File file;
  EXPECT_FALSE(file.OpenForReading(dir.path()));
  EXPECT_FALSE(file.OpenForReading(dir / "missing"));
  EXPECT_FALSE(file.CreateForWriting(dir / "missing/folder/file"));
  EXPECT_FALSE(file.IsOpen());
}

TEST(PlatformFile, SeekingBeforeTheStartRaisesAFileErrorNamingTheFile) {
  TempDir dir;
  WriteFile(dir / "small", "0123456789");
  payload::File file;
  ASSERT_TRUE(file.OpenForReading(dir / "small"));
  EXPECT_EQ(file.Size(), 10);
  file.SeekFromEnd(4);
  char bytes[4];
  file.ReadExactly(bytes, 4);
  EXPECT_EQ(std::string(bytes, 4), "6789");
  try {
    file.SeekFromEnd(11);
    FAIL() << "no FileError";
  } catch (const payload::FileError& error) {
    EXPECT_NE(error.code(), 0u);
    EXPECT_EQ(error.fileName(), dir / "small");
  }
  file.SeekFromStart(8);
  EXPECT_THROW(file.ReadExactly(bytes, 4), payload::FileError);
}

}  // namespace
