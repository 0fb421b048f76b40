// Name scans that must step over GBK double-byte characters, and the rule
// that keeps every entry inside the target folder.
#include <gtest/gtest.h>

#include "payload/Characters.h"
#include "payload/NameRules.h"
#include "payload/PayloadReader.h"
#include "tests/host/TestSupport.h"

namespace {

using payload::PayloadReader;
using testing_support::Exists;
using testing_support::TempDir;

// U+4E57 in GBK, 0x81 0x5C: its trail byte is a backslash.
const std::string kTrail5C = "\x81\x5C";

TEST(BackslashScan, SkipsTrailBytesOfDoubleByteCharacters) {
  EXPECT_EQ(payload::BackslashPositions("a\\b\\"), (std::vector<size_t>{1, 3}));
  EXPECT_EQ(payload::BackslashPositions(kTrail5C + "\\x"), (std::vector<size_t>{2}));
  EXPECT_EQ(payload::BackslashPositions("\\" + kTrail5C), (std::vector<size_t>{0}));
  // A lead byte as the very last byte has no trail to hide.
  EXPECT_EQ(payload::BackslashPositions("a\x81"), (std::vector<size_t>{}));
  // The ends of the lead-byte range, 0x81 above and 0xFE here.
  EXPECT_EQ(payload::BackslashPositions("\xFE\\"), (std::vector<size_t>{}));
  EXPECT_EQ(payload::BackslashPositions("\x80\\\xFF\\"), (std::vector<size_t>{1, 3}));
}

// Windows compares names without regard to case; a trail byte that looks
// like a letter is part of its character and is never folded.
TEST(CaseFolding, FoldsOnlySingleByteLetters) {
  EXPECT_EQ(payload::FoldCase("Skin\\ok.bmp"), "SKIN\\OK.BMP");
  EXPECT_EQ(payload::FoldCase("\x81\x61z\x81"), "\x81\x61Z\x81");
  EXPECT_TRUE(payload::EqualsIgnoringCase("parvane.EXE", "Parvane.exe"));
  EXPECT_FALSE(payload::EqualsIgnoringCase("\x81\x61", "\x81\x41"));
  EXPECT_FALSE(payload::EqualsIgnoringCase("ab", "abc"));
  EXPECT_FALSE(payload::EqualsIgnoringCase("a[", "A{"));
}

TEST(AddTrailingBackslash, AppendsOnlyWhenMissing) {
  std::string folder = "C:\\target";
  EXPECT_EQ(PayloadReader::AddTrailingBackslash(folder), "C:\\target\\");
  EXPECT_EQ(folder, "C:\\target\\");
  EXPECT_EQ(PayloadReader::AddTrailingBackslash(folder), "C:\\target\\");
  std::string empty;
  EXPECT_EQ(PayloadReader::AddTrailingBackslash(empty), "");
  // A folder ending in a character whose trail byte is 0x5C still needs one.
  std::string gbk = "C:\\" + kTrail5C;
  EXPECT_EQ(PayloadReader::AddTrailingBackslash(gbk), "C:\\" + kTrail5C + "\\");
}

TEST(EntryNameRule, AcceptsNamesThatStayInside) {
  EXPECT_TRUE(payload::IsEntryNameSafe("", "Parvane.exe"));
  EXPECT_TRUE(payload::IsEntryNameSafe("skin\\buttons\\", "ok.bmp"));
  EXPECT_TRUE(payload::IsEntryNameSafe(kTrail5C + "\\", "a.txt"));
  EXPECT_TRUE(payload::IsEntryNameSafe("", kTrail5C));
  EXPECT_TRUE(payload::IsEntryNameSafe("a..b\\", ".hidden"));
  EXPECT_TRUE(payload::IsEntryNameSafe("console\\", "COM10"));
  EXPECT_TRUE(payload::IsEntryNameSafe("", "CONFIG.SYS"));
  EXPECT_TRUE(payload::IsEntryNameSafe("sub\\", ""));  // fails later, on creation
}

TEST(EntryNameRule, RefusesNamesThatLeave) {
  struct Case {
    const char* what;
    std::string folder, file;
  };
  const Case cases[] = {
      {"parent folder", "..\\", "x"},
      {"parent inside", "a\\..\\..\\", "x"},
      {"parent as file", "a\\", ".."},
      {"current folder", ".\\", "x"},
      {"dots and blanks", ".. \\", "x"},
      {"leading backslash", "\\Windows\\", "x"},
      {"leading slash", "", "/etc/passwd"},
      {"slash inside", "a/b\\", "x"},
      {"drive letter", "C:\\", "x"},
      {"stream name", "", "x:stream"},
      {"empty component", "a\\\\", "x"},
      {"file with parent", "", "..\\x"},
      {"slash after a lead byte", "b\x81/\\", "x"},
      {"colon after a lead byte", "", "a\x81:x"},
      {"console device", "", "CON"},
      {"null device with extension", "", "nul.txt"},
      {"printer port as folder", "LPT1\\", "x"},
      {"serial port with blank", "", "com9 .log"},
      {"device with two dots", "", "nul.tar.gz"},
      {"console output", "", "CONOUT$"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(payload::IsEntryNameSafe(c.folder, c.file)) << c.what;
  }
}

TEST(CreateFolderChain, CreatesEveryLevelWithoutSplittingGbk) {
  TempDir dir;
  PayloadReader::CreateFolderChain(dir.path() + "\\one\\" + kTrail5C + "\\three\\");
  EXPECT_TRUE(Exists(dir / "one"));
  EXPECT_TRUE(Exists(dir / ("one/" + kTrail5C)));
  EXPECT_TRUE(Exists(dir / ("one/" + kTrail5C + "/three")));
  // The trail byte was not taken for a separator: no folder named "\x81".
  EXPECT_FALSE(Exists(dir / "one/\x81"));
}

}  // namespace
