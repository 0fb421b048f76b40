// Which recorded install folders the uninstaller may empty and remove, and
// how it reads a path for the comparison with the system's own folders.
#include <gtest/gtest.h>

#include <string>

#include "uninstall/RemovalRules.h"

namespace {

using uninstall::CheckFolderToRemove;
using uninstall::ComparablePath;
using uninstall::FolderToRemove;
using uninstall::ProtectedFolders;
using uninstall::RemovalRefusal;

// A system laid out as a typical 64-bit Windows, seen by a 32-bit program.
ProtectedFolders TypicalSystem() {
  ProtectedFolders system;
  system.folders = {"C:\\Windows",
                    "C:\\Windows\\system32",
                    "C:\\Windows\\SysWOW64",
                    "C:\\Program Files (x86)",
                    "C:\\Program Files",
                    "C:\\ProgramData",
                    "C:\\Users\\bob",
                    "C:\\Users\\bob\\Desktop",
                    "C:\\Users\\Public\\Desktop",
                    "C:\\ProgramData\\Microsoft\\Windows\\Start Menu",
                    "D:\\Profiles\\alice",
                    ""};
  system.profileParents = {"C:\\Users"};
  return system;
}

RemovalRefusal Refusal(const std::string& folder) {
  return CheckFolderToRemove(folder, TypicalSystem()).refusal;
}

TEST(RemovalRulesTest, OnlyAFinalBackslashIsCut) {
  EXPECT_EQ(FolderToRemove("D:\\Apps\\Parvane\\"), "D:\\Apps\\Parvane");
  // Cutting blindly would name the neighbouring folder "D:\Apps\Parvan".
  EXPECT_EQ(FolderToRemove("D:\\Apps\\Parvane"), "D:\\Apps\\Parvane");
  EXPECT_EQ(FolderToRemove(""), "");
  // 0x81 0x5C is one GBK character, not a backslash.
  EXPECT_EQ(FolderToRemove("D:\\\x81\x5c"), "D:\\\x81\x5c");
  EXPECT_EQ(FolderToRemove("D:\\\x81\x5c\\"), "D:\\\x81\x5c");
}

TEST(RemovalRulesTest, PathsAreReadAsWindowsResolvesThem) {
  EXPECT_EQ(ComparablePath("c:/program files//tavisk\\.\\parvane\\"),
            "C:\\PROGRAM FILES\\TAVISK\\PARVANE");
  EXPECT_EQ(ComparablePath("C:\\Apps\\..\\Windows"), "C:\\WINDOWS");
  EXPECT_EQ(ComparablePath("C:\\..\\..\\Windows. . "), "C:\\WINDOWS");
  EXPECT_EQ(ComparablePath("C:\\"), "C:\\");
  EXPECT_EQ(ComparablePath("C:"), "C:");
  EXPECT_EQ(ComparablePath("\\\\?\\C:\\Windows\\"), "C:\\WINDOWS");
  EXPECT_EQ(ComparablePath("\\\\?\\UNC\\srv\\share\\x"), "\\\\SRV\\SHARE\\X");
  // ".." never climbs above a share.
  EXPECT_EQ(ComparablePath("\\\\srv\\share\\..\\..\\x"), "\\\\SRV\\SHARE\\X");
  // Double-byte characters stay whole: "\x81\x61" keeps its lower-case trail
  // byte, and "\x81\x5c" does not end a component.
  EXPECT_EQ(ComparablePath("d:\\\x81\x61\\\x81\x5c\\"), "D:\\\x81\x61\\\x81\x5c");
}

TEST(RemovalRulesTest, EmptyRelativeAndRootFoldersAreRefused) {
  EXPECT_EQ(Refusal(""), RemovalRefusal::kEmpty);
  for (const char* folder : {"Parvane", "Tavisk\\Parvane", "\\Tavisk\\Parvane", "C:Parvane",
                             ".", "..\\x", "\\\\", "1:\\x"}) {
    EXPECT_EQ(Refusal(folder), RemovalRefusal::kNotAbsolute) << folder;
  }
  for (const char* folder : {"C:\\", "C:", "d:/", "C:\\.", "C:\\Apps\\..", "\\\\?\\C:\\"}) {
    EXPECT_EQ(Refusal(folder), RemovalRefusal::kDriveRoot) << folder;
  }
  for (const char* folder : {"\\\\server", "\\\\server\\share", "\\\\server\\share\\",
                             "\\\\server\\share\\x\\..", "\\\\?\\UNC\\server\\share"}) {
    EXPECT_EQ(Refusal(folder), RemovalRefusal::kShareRoot) << folder;
  }
}

// The driver installer is only started from a folder that names one place.
TEST(RemovalRulesTest, AbsoluteFoldersNameADriveOrAServer) {
  for (const char* folder : {"C:\\Program Files\\Tavisk\\Parvane\\", "d:/x", "C:\\",
                             "\\\\server\\share\\x", "\\\\?\\C:\\x"}) {
    EXPECT_TRUE(uninstall::IsAbsoluteFolder(folder)) << folder;
  }
  for (const char* folder : {"", "Parvane\\", "\\Tavisk\\Parvane\\", "C:Parvane", "C:",
                             "\\\\", ".\\x"}) {
    EXPECT_FALSE(uninstall::IsAbsoluteFolder(folder)) << folder;
  }
}

TEST(RemovalRulesTest, SystemFoldersAndTheirParentsAreRefused) {
  for (const char* folder :
       {"C:\\Windows", "c:\\windows\\", "C:\\WINDOWS\\System32", "C:\\Program Files",
        "C:\\Program Files (x86)", "C:\\ProgramData", "C:\\Users", "C:\\Users\\bob",
        "C:\\Users\\bob\\Desktop", "C:\\Users\\Public", "C:\\Users\\Public\\Desktop",
        "C:\\ProgramData\\Microsoft\\Windows\\Start Menu", "C:\\ProgramData\\Microsoft",
        "D:\\Profiles", "D:\\Profiles\\alice", "C:\\Apps\\..\\Windows", "\\\\?\\C:\\Windows"}) {
    EXPECT_EQ(Refusal(folder), RemovalRefusal::kProtectedFolder) << folder;
  }
  // Any direct subfolder of the Users folder is somebody's profile.
  EXPECT_EQ(Refusal("C:\\Users\\carol"), RemovalRefusal::kProtectedFolder);
  // The report names the folder that was hit.
  EXPECT_EQ(CheckFolderToRemove("C:\\ProgramData\\Microsoft", TypicalSystem()).protectedFolder,
            "C:\\ProgramData\\Microsoft\\Windows\\Start Menu");
}

TEST(RemovalRulesTest, InstallationFoldersBelowSystemFoldersAreAccepted) {
  for (const char* folder :
       {"C:\\Program Files\\Tavisk\\Parvane", "C:\\Program Files (x86)\\Tavisk",
        "C:\\Users\\bob\\Apps\\Parvane", "C:\\Users\\carol\\Parvane", "D:\\Parvane",
        "C:\\Windows2", "C:\\Program Files Extra", "\\\\server\\share\\Parvane",
        "D:\\\xb5\xda\xb6\xfe \xb0\xb2\xd7\xb0\\Parvane"}) {
    EXPECT_EQ(Refusal(folder), RemovalRefusal::kNone) << folder;
  }
}

// "C:\Users\bob\x" with a GBK character ending in 0x5C must not be read as
// the profile root's parent or as a prefix match across a false backslash.
TEST(RemovalRulesTest, ATrailByteBackslashIsNoSeparator) {
  ProtectedFolders system;
  system.folders = {"C:\\A\x81\x5c" "B"};
  EXPECT_EQ(CheckFolderToRemove("C:\\A\x81", system).refusal, RemovalRefusal::kNone);
  EXPECT_EQ(CheckFolderToRemove("C:\\A\x81\x5c" "B", system).refusal,
            RemovalRefusal::kProtectedFolder);
  system.folders.clear();
  system.profileParents = {"C:\\U"};
  EXPECT_EQ(CheckFolderToRemove("C:\\U\x81\x5c" "x", system).refusal, RemovalRefusal::kNone);
  EXPECT_EQ(CheckFolderToRemove("C:\\U\\\x81\x5c" "x", system).refusal,
            RemovalRefusal::kProtectedFolder);
}

}  // namespace
