// Which install folders the install sequence refuses before it changes
// anything: empty, not absolute, or too long for a path it forms.
#include <gtest/gtest.h>

#include <string>

#include "install/FolderRules.h"

namespace {

using install::CheckInstallFolder;
using install::FolderProblem;

TEST(FolderRulesTest, EmptyAndRelativeFoldersAreRefused) {
  EXPECT_EQ(CheckInstallFolder("", 0), FolderProblem::kEmpty);
  for (const char* folder : {"Parvane", "Tavisk\\Parvane\\", "\\Program Files\\Parvane",
                             "C:", "C:Parvane", "1:\\x", "\\\\", "\\\\\\server", ":\\x"}) {
    EXPECT_EQ(CheckInstallFolder(folder, 0), FolderProblem::kNotAbsolute) << folder;
  }
}

TEST(FolderRulesTest, DriveAndUncPathsAreAccepted) {
  for (const char* folder : {"C:\\", "d:\\Apps", "C:\\Program Files\\Tavisk\\Parvane\\",
                             "\\\\server\\share\\Parvane", "Z:\\\xd6\xd0\xce\xc4", "C:/Tools/Parvane"}) {
    EXPECT_EQ(CheckInstallFolder(folder, 0), FolderProblem::kNone) << folder;
  }
}

// Every formed path must fit 260 bytes with its NUL. The longest fixed one
// is the uninstall command (26 bytes after the folder); a longer entry
// path of the package takes over.
TEST(FolderRulesTest, TheLongestFormedPathMustFitWithItsNul) {
  const std::string base = "C:\\";
  const size_t fits = 259 - install::kLongestFixedSuffix;  // folder with its backslash
  const std::string longest = base + std::string(fits - base.size() - 1, 'a') + "\\";
  ASSERT_EQ(longest.size(), fits);
  EXPECT_EQ(CheckInstallFolder(longest, 0), FolderProblem::kNone);
  EXPECT_EQ(CheckInstallFolder(longest + "b\\", 0), FolderProblem::kTooLong);
  // Without its trailing backslash the folder is measured with one.
  EXPECT_EQ(CheckInstallFolder(longest.substr(0, fits - 1), 0), FolderProblem::kNone);
  EXPECT_EQ(CheckInstallFolder(longest.substr(0, fits - 1) + "b", 0), FolderProblem::kTooLong);
  // An entry path longer than the fixed texts decides.
  EXPECT_EQ(CheckInstallFolder(longest, install::kLongestFixedSuffix + 1),
            FolderProblem::kTooLong);
  EXPECT_EQ(CheckInstallFolder("C:\\x\\", 259 - 5), FolderProblem::kNone);
  EXPECT_EQ(CheckInstallFolder("C:\\x\\", 259 - 4), FolderProblem::kTooLong);
}

TEST(FolderRulesTest, AGbkTrailByteBackslashIsNoTrailingBackslash) {
  // 0x81 0x5C is one character: the folder still needs its backslash, which
  // counts against the length.
  const size_t fits = 259 - install::kLongestFixedSuffix;
  const std::string folder = "C:\\" + std::string(fits - 3 - 2, 'a') + "\x81\x5c";
  ASSERT_EQ(folder.size(), fits);
  EXPECT_EQ(CheckInstallFolder(folder, 0), FolderProblem::kTooLong);
  const std::string shorter = "C:\\" + std::string(fits - 1 - 3 - 2, 'a') + "\x81\x5c";
  EXPECT_EQ(CheckInstallFolder(shorter, 0), FolderProblem::kNone);
}

}  // namespace
