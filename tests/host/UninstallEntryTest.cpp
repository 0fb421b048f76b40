// The values of the uninstall entry: the version number picked out of the
// version text, the installed size summed from a package's directory and
// rounded up to KiB, and the entry an installation into a folder makes.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "install/UninstallEntry.h"
#include "payload/PayloadFormat.h"
#include "install/FolderRules.h"
#include "payload/PayloadReader.h"
#include "tests/host/TestSupport.h"

namespace {

using namespace testing_support;
using install::InstalledSizeKib;
using install::KibRoundedUp;
using install::VersionNumberOf;

TEST(UninstallEntryTest, TheVersionNumberIsTheFirstWordBeginningWithADigit) {
  EXPECT_EQ(VersionNumberOf("Parvane 2.0.0419 Released 20050527"), "2.0.0419");
  EXPECT_EQ(VersionNumberOf("3.1 beta"), "3.1");
  EXPECT_EQ(VersionNumberOf("  \tParvane\t\t7.2-rc1  "), "7.2-rc1");
  EXPECT_EQ(VersionNumberOf("Parvane 9"), "9");
  // A digit inside a word does not start a number.
  EXPECT_EQ(VersionNumberOf("Parvane v2.0 Released 20050527"), "20050527");
  // A GBK word before it is passed over like any other.
  EXPECT_EQ(VersionNumberOf("\xb0\xe6\xb1\xbe 4.0.1"), "4.0.1");
}

TEST(UninstallEntryTest, ATextWithoutSuchAWordGivesNoNumber) {
  for (const char* text : {"", "   ", "Parvane", "Parvane v2.0 final", "\xb0\xe6\xb1\xbe"}) {
    EXPECT_EQ(VersionNumberOf(text), "") << text;
  }
}

TEST(UninstallEntryTest, SizesRoundUpToWholeKibAndClampTo32Bits) {
  EXPECT_EQ(KibRoundedUp(0), 0u);
  EXPECT_EQ(KibRoundedUp(1), 1u);
  EXPECT_EQ(KibRoundedUp(1024), 1u);
  EXPECT_EQ(KibRoundedUp(1025), 2u);
  EXPECT_EQ(KibRoundedUp(2048), 2u);
  const uint64_t largest = uint64_t{UINT32_MAX} * 1024;
  EXPECT_EQ(KibRoundedUp(largest - 1023), UINT32_MAX);
  EXPECT_EQ(KibRoundedUp(largest - 1024), UINT32_MAX - 1);
  EXPECT_EQ(KibRoundedUp(largest + 1), UINT32_MAX);
  EXPECT_EQ(KibRoundedUp(uint64_t{1} << 42), UINT32_MAX);
  // Rounding by adding 1023 first would wrap this to 0.
  EXPECT_EQ(KibRoundedUp(UINT64_MAX), UINT32_MAX);
}

// The installed size from a real reader over a directory of records that
// carry only the given inflated sizes.
class InstalledSizeTest : public ::testing::Test {
 protected:
  uint32_t SizeOf(const std::vector<int32_t>& sizes) {
    std::string bytes;
    for (size_t i = 0; i < sizes.size(); ++i) {
      bytes += RecordBytes({0, sizes[i], 0, "f" + std::to_string(i), ""});
    }
    WriteFile(package_, bytes + Tail(0, static_cast<int32_t>(sizes.size())));
    EXPECT_EQ(reader_->ReadDirectory(package_), payload::PAYLOAD_OK);
    return InstalledSizeKib(*reader_);
  }

  TempDir dir_;
  std::string package_ = dir_ / "package.exe";
  std::unique_ptr<payload::PayloadReader> reader_ =
      std::make_unique<payload::PayloadReader>(package_);
};

TEST_F(InstalledSizeTest, SumsEveryRecordBeforeRounding) {
  EXPECT_EQ(SizeOf({1}), 1u);
  EXPECT_EQ(SizeOf({0, 0}), 0u);
  // Rounded per record this would be 3.
  EXPECT_EQ(SizeOf({1000, 24, 1}), 2u);
  EXPECT_EQ(SizeOf({512, 512, 1024}), 2u);
}

TEST_F(InstalledSizeTest, NegativeSizesCountAsNothing) {
  EXPECT_EQ(SizeOf({-1}), 0u);
  EXPECT_EQ(SizeOf({2048, INT32_MIN, -1024, 1}), 3u);
}

TEST_F(InstalledSizeTest, LargeSumsNeitherWrapNorExceed32Bits) {
  // 6 GiB less 3 bytes: a 32-bit sum would wrap.
  EXPECT_EQ(SizeOf({INT32_MAX, INT32_MAX, INT32_MAX}), 6u * 1024 * 1024);
  const std::vector<int32_t> largest(payload::kMaxEntries, INT32_MAX);
  EXPECT_EQ(SizeOf(largest), UINT32_MAX);
}

TEST_F(InstalledSizeTest, AnUnreadDirectoryIsNoSize) {
  EXPECT_EQ(InstalledSizeKib(*reader_), 0u);
  SizeOf({4096});
  WriteFile(package_, "no package");
  EXPECT_NE(reader_->ReadDirectory(package_), payload::PAYLOAD_OK);
  EXPECT_EQ(InstalledSizeKib(*reader_), 0u);
}

TEST(UninstallEntryTest, TheEntryOfAnInstallationFollowsItsFolderAndPackage) {
  TempDir dir;
  const std::string package = dir / "ParvaneSetup.exe";
  WriteFile(package, BuildPackage({{"", "Parvane.exe", std::string(3000, 'p')},
                                   {"skin\\", "ok.bmp", std::string(100, 'b')}})
                         .bytes);
  payload::PayloadReader reader(package);
  ASSERT_EQ(reader.ReadDirectory(package), payload::PAYLOAD_OK);

  const std::string folder = "D:\\\xb5\xda\xb6\xfe \xb0\xb2\xd7\xb0\\Parvane\\";
  const install::UninstallEntry entry = install::MakeUninstallEntry(folder, reader);
  EXPECT_EQ(entry.displayName, "Parvane");
  EXPECT_EQ(entry.uninstallCommand, "\"" + folder + "ParvaneSetup.exe\" uninstall");
  // The icon is the very program the uninstall command starts.
  EXPECT_EQ(entry.iconPath, folder + "ParvaneSetup.exe");
  EXPECT_EQ(entry.uninstallCommand.rfind("\"" + entry.iconPath + "\" ", 0), 0u);
  EXPECT_EQ(entry.publisher, "Corvantis");
  EXPECT_EQ(entry.versionNumber, "2.0.0419");
  EXPECT_EQ(entry.installFolder, folder);
  EXPECT_EQ(entry.sizeKib, 4u);  // 3100 bytes

  // The longest folder the target page accepts gives a command that just
  // fits MAX_PATH with its NUL.
  std::string longest = "C:\\a";
  while (install::CheckInstallFolder(longest + "a", 0) == install::FolderProblem::kNone) {
    longest += "a";
  }
  const std::string command = install::MakeUninstallEntry(longest + "\\", reader).uninstallCommand;
  EXPECT_EQ(command.size() + 1, static_cast<size_t>(payload::kMaxPath));
}

// Read back the way start-up reads its own command line, the quoted command
// ends its program name at the closing quote, whatever blanks, quotes-like
// trail bytes or "uninstall" the folder holds, and selects uninstall mode;
// the folder alone never does.
TEST(UninstallEntryTest, CommandReadsBackAsUninstallModeWhateverTheFolder) {
  TempDir dir;
  const std::string package = dir / "ParvaneSetup.exe";
  WriteFile(package, BuildPackage({{"", "Parvane.exe", "p"}}).bytes);
  payload::PayloadReader reader(package);
  ASSERT_EQ(reader.ReadDirectory(package), payload::PAYLOAD_OK);
  const auto isLead = [](unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; };

  const std::string folders[] = {
      "C:\\Program Files\\Tavisk\\Parvane\\",
      "C:\\uninstall me\\",
      "C:\\\x81\"\x81\x5C\x81 tab\\",  // trail bytes 0x22, 0x5C and 0x20
  };
  for (const std::string& folder : folders) {
    const install::UninstallEntry entry = install::MakeUninstallEntry(folder, reader);
    const char* arguments = app::SkipProgramName(entry.uninstallCommand.c_str(), isLead);
    EXPECT_STREQ(arguments, "uninstall") << folder;
    EXPECT_TRUE(app::RequestsUninstall(arguments, isLead)) << folder;
    const std::string withoutArgument = "\"" + entry.iconPath + "\"";
    EXPECT_FALSE(app::RequestsUninstall(app::SkipProgramName(withoutArgument.c_str(), isLead), isLead))
        << folder;
  }
}

}  // namespace
