// The end of the payload in a signed package: a certificate table recorded
// in the PE header's security directory and reaching the end of the file is
// not part of the payload, nor are up to 7 zero bytes in front of it. Any
// header that does not describe such a table leaves the file read as it is.
#include <gtest/gtest.h>

#include <memory>

#include "payload/PayloadReader.h"
#include "tests/host/TestSupport.h"

namespace {

using namespace testing_support;
using payload::PayloadReader;

constexpr uint32_t kNewHeader = kPeNewHeader;
constexpr uint32_t kOptionalHeader = kNewHeader + 24;

class SignedPackageTest : public ::testing::Test {
 protected:
  int32_t Read(const std::string& bytes) {
    WriteFile(package_, bytes);
    return reader_->ReadDirectory(package_);
  }

  BuiltPackage Build(uint16_t magic = kPe32) {
    return BuildPackage({{"", "Parvane.exe", MixedContent(20000, 1)},
                         {"skin\\", "ok.bmp", "bitmap"}},
                        "title", PeImage(magic));
  }

  TempDir dir_;
  std::string package_ = dir_ / "package.exe";
  std::unique_ptr<PayloadReader> reader_ = std::make_unique<PayloadReader>(package_);
};

TEST_F(SignedPackageTest, SignedPackagesReadAndExtractLikeUnsignedOnes) {
  for (uint16_t magic : {kPe32, kPe32Plus}) {
    const BuiltPackage package = Build(magic);
    for (size_t padding = 0; padding <= 7; ++padding) {
      SCOPED_TRACE("magic " + std::to_string(magic) + ", padding " + std::to_string(padding));
      ASSERT_EQ(Read(Sign(package.bytes, padding)), payload::PAYLOAD_OK);
      EXPECT_EQ(reader_->GetPayloadEnd(), static_cast<int64_t>(package.bytes.size()));
      ASSERT_EQ(reader_->GetEntryCount(), 2);
      EXPECT_EQ(reader_->GetTitle(), "title");
      EXPECT_EQ(reader_->GetFileName(1), "ok.bmp");
      EXPECT_EQ(reader_->GetRecord(0).offset, package.records[0].offset);

      const std::string target = dir_ / ("out" + std::to_string(magic) + "-" +
                                         std::to_string(padding));
      ASSERT_EQ(reader_->ExtractAll(target, nullptr, 0), payload::PAYLOAD_OK);
      EXPECT_EQ(ReadFile(target + "/Parvane.exe"), MixedContent(20000, 1));
      EXPECT_EQ(ReadFile(target + "/skin/ok.bmp"), "bitmap");
    }
  }
}

TEST_F(SignedPackageTest, UnsignedPackagesKeepTheEndOfTheFile) {
  const BuiltPackage package = Build();
  ASSERT_EQ(Read(package.bytes), payload::PAYLOAD_OK);
  EXPECT_EQ(reader_->GetPayloadEnd(), static_cast<int64_t>(package.bytes.size()));

  // A package behind an image that is no PE file at all.
  const BuiltPackage plain = BuildPackage({{"", "a.txt", "alpha"}});
  ASSERT_EQ(Read(plain.bytes), payload::PAYLOAD_OK);
  EXPECT_EQ(reader_->GetPayloadEnd(), static_cast<int64_t>(plain.bytes.size()));

  EXPECT_EQ(Read("MZ"), payload::PAYLOAD_BAD_TRAILER);
  EXPECT_EQ(reader_->GetPayloadEnd(), 0);
}

// More zero bytes than alignment can explain are not passed over: the tail
// is then not where it must be.
TEST_F(SignedPackageTest, OnlySevenZeroBytesArePassedOver) {
  const BuiltPackage package = Build();
  EXPECT_EQ(Read(Sign(package.bytes, 8)), payload::PAYLOAD_BAD_TRAILER);
  EXPECT_EQ(reader_->GetEntryCount(), 0);
  // Non-zero bytes between payload and table are not padding either.
  EXPECT_EQ(Read(Sign(package.bytes + "\x01", 0)), payload::PAYLOAD_BAD_TRAILER);
}

// A security directory that does not describe a table at the end of the
// file is ignored: an unsigned package with it reads as before, and a signed
// one is no package.
TEST_F(SignedPackageTest, InconsistentSecurityDirectoriesMeanUnsigned) {
  const BuiltPackage package = Build();
  const auto size = static_cast<uint32_t>(package.bytes.size());
  struct Case {
    const char* name;
    uint32_t start;
    uint32_t size;
  };
  const Case cases[] = {
      {"start beyond the file", size + 16, 8},
      {"table running past the end", size - 100, 200},
      {"table ending before the end", size - 100, 50},
      {"start 0", 0, size},
      {"empty table", size, 0},
      {"overflowing sum", 0xFFFFFFF0u, 0x20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string unsigned_bytes = package.bytes;
    SetSecurityDirectory(unsigned_bytes, c.start, c.size);
    ASSERT_EQ(Read(unsigned_bytes), payload::PAYLOAD_OK);
    EXPECT_EQ(reader_->GetPayloadEnd(), static_cast<int64_t>(size));
  }

  // The same table behind a header that is not a consistent PE header.
  const std::string good = Sign(package.bytes, 0);
  struct Damage {
    const char* name;
    size_t at;
    std::string bytes;
  };
  const Damage damages[] = {
      {"no MZ", 0, "ZM"},
      {"no PE signature", kNewHeader, "PF"},
      {"new header offset inside the DOS header", 0x3C, std::string("\x10\0\0\0", 4)},
      {"new header offset beyond the file", 0x3C, std::string("\0\0\0\x7F", 4)},
      {"unknown optional header", kOptionalHeader, std::string("\x07\x01", 2)},
      {"four data directories", kOptionalHeader + 92, std::string("\x04\0\0\0", 4)},
      {"optional header too short", kNewHeader + 20, std::string("\x80\0", 2)},
  };
  for (const Damage& damage : damages) {
    SCOPED_TRACE(damage.name);
    std::string bytes = good;
    bytes.replace(damage.at, damage.bytes.size(), damage.bytes);
    EXPECT_EQ(Read(bytes), payload::PAYLOAD_BAD_TRAILER);
  }
}

// Nothing behind the end of the payload is ever inflated: an entry whose
// offset points into the table fails, even when the table holds a stream,
// and so does a stream that starts in the payload and would end in the
// table.
TEST_F(SignedPackageTest, DataInTheSignatureIsNeverExtracted) {
  const std::string stream = Deflate("smuggled");
  const std::string image = PeImage();
  // The entry's offset is where the table will start.
  RawRecord record;
  record.folderName = "sub\\";
  record.fileName = "x.txt";
  record.compressedSize = static_cast<int32_t>(stream.size());
  record.inflatedSize = 8;
  std::string bytes = AssemblePackage(image, {}, {record});
  record.offset = static_cast<int32_t>(bytes.size());
  bytes = Sign(AssemblePackage(image, {}, {record}), 0, stream);

  ASSERT_EQ(Read(bytes), payload::PAYLOAD_OK);
  ASSERT_EQ(reader_->ExtractAll(dir_ / "out", nullptr, 0), payload::PAYLOAD_ENTRY_FAILED);
  EXPECT_FALSE(Exists(dir_ / "out/sub"));  // refused before anything is made

  // One stored block right behind the image, whose data are the rest of
  // the payload (records, title, tail) and the table's first bytes; the
  // table goes on with the stream's checksum.
  constexpr size_t kHeader = 7;  // zlib header, block header, LEN, NLEN
  record.offset = static_cast<int32_t>(image.size());
  bytes = AssemblePackage(image, {{record.offset, std::string(kHeader, '\0')}}, {record});
  const std::string data = bytes.substr(image.size() + kHeader) + "smuggled";
  const auto length = static_cast<uint16_t>(data.size());
  const std::string header = {'\x78', '\x01', '\x01', static_cast<char>(length & 0xFF),
                              static_cast<char>(length >> 8), static_cast<char>(~length & 0xFF),
                              static_cast<char>((~length >> 8) & 0xFF)};
  bytes.replace(image.size(), kHeader, header);
  const uLong check = adler32(1, reinterpret_cast<const Bytef*>(data.data()),
                              static_cast<uInt>(data.size()));
  const std::string checksum = {static_cast<char>(check >> 24), static_cast<char>(check >> 16),
                                static_cast<char>(check >> 8), static_cast<char>(check)};
  ASSERT_EQ(Read(Sign(bytes, 0, "smuggled" + checksum + std::string(64, '\x30'))),
            payload::PAYLOAD_OK);
  ASSERT_EQ(reader_->ExtractAll(dir_ / "out2", nullptr, 0), payload::PAYLOAD_ENTRY_FAILED);
  EXPECT_FALSE(Exists(dir_ / "out2/sub/x.txt"));
}

}  // namespace
