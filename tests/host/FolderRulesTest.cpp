// Which install folders the install sequence refuses before it changes
// anything: empty, not absolute, too long for a path it forms, or holding
// files the package does not bring.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "install/FolderRules.h"
#include "install/ForeignEntries.h"
#include "tests/host/TestSupport.h"

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
// is the uninstall command (28 bytes around the folder); a longer entry
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

namespace {

// The package's entries as the installer's own package has them: files in
// the folder itself and in a folder with a folder below it.
const std::vector<std::string> kEntries = {"Parvane.exe", "ParvaneSetup.exe", "Skin\\ok.bmp",
                                           "Skin\\Big\\ok.bmp", "\xb5\xda\xb6\xfe\\a.txt"};

// A folder holding what `plant` makes in it; the first foreign entry found,
// relative to the folder, or "" when there is none.
std::string ForeignAfter(const std::vector<std::string>& files,
                         const std::vector<std::string>& folders,
                         const std::vector<std::string>& entries = kEntries) {
  testing_support::TempDir dir;
  for (const std::string& folder : folders) ::mkdir((dir / folder).c_str(), 0777);
  for (const std::string& file : files) testing_support::WriteFile(dir / file, "x");
  const std::string found = install::FindForeignEntry(dir.path(), entries);
  return found.empty() ? found : found.substr(dir.path().size() + 1);
}

TEST(FolderRulesTest, AFolderHoldingOnlyThePackagesEntriesHoldsNothingForeign) {
  EXPECT_EQ(ForeignAfter({}, {}), "");
  EXPECT_EQ(install::FindForeignEntry("/nonexistent-parvane-folder/", kEntries), "");
  // What an earlier installation of the package left, in any case.
  EXPECT_EQ(ForeignAfter({"PARVANE.EXE", "parvanesetup.exe", "skin/OK.bmp", "skin/big/OK.BMP",
                          "\xb5\xda\xb6\xfe/a.txt"},
                         {"skin", "skin/big", "\xb5\xda\xb6\xfe"}),
            "");
  // A folder the package makes may stand empty.
  EXPECT_EQ(ForeignAfter({}, {"Skin"}), "");
}

TEST(FolderRulesTest, EverythingElseIsForeignAtAnyDepth) {
  struct Case {
    const char* what;
    std::vector<std::string> files, folders;
    std::string foreign;
  };
  const Case cases[] = {
      {"a user's note", {"Parvane.exe", "my-notes.txt"}, {}, "my-notes.txt"},
      {"another program's folder", {}, {"other-app"}, "other-app"},
      {"a file inside a package folder", {"Skin/ok.bmp", "Skin/mine.bmp"}, {"Skin"},
       "Skin\\mine.bmp"},
      {"two levels down", {"Skin/Big/x"}, {"Skin", "Skin/Big"}, "Skin\\Big\\x"},
      {"a folder where the package has a file", {}, {"Parvane.exe"}, "Parvane.exe"},
      {"a file where the package has a folder", {"Skin"}, {}, "Skin"},
      {"a package file name in the wrong folder", {"ok.bmp"}, {}, "ok.bmp"},
      // The GBK name's trail byte is a letter: folded, it would match
      // another name than the package's.
      {"a trail byte that is a letter", {"\xb5\x61"}, {}, "\xb5\x61"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ForeignAfter(c.files, c.folders), c.foreign) << c.what;
  }
  EXPECT_EQ(ForeignAfter({"\xb5\x61"}, {}, {"\xb5\x41"}), "\xb5\x61");
  EXPECT_EQ(ForeignAfter({"A"}, {}, {"a"}), "");
}

// Removing what lies behind a link would remove what is not the
// installation's, whatever the link is called.
TEST(FolderRulesTest, ALinkIsForeignWhateverItsName) {
  for (const char* name : {"Skin", "Parvane.exe"}) {
    testing_support::TempDir dir, elsewhere;
    testing_support::WriteFile(elsewhere / "ok.bmp", "x");
    ASSERT_EQ(::symlink(elsewhere.path().c_str(), (dir / name).c_str()), 0);
    EXPECT_EQ(install::FindForeignEntry(dir.path(), kEntries), dir.path() + "\\" + name);
  }
}

}  // namespace
