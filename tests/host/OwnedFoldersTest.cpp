// Which folders an installation may own (the install wizard installs only
// into those, the uninstaller removes only those), how a path is read for
// the comparison with the system's own folders, and which folder the
// removal starts on.
#include <gtest/gtest.h>

#include <string>

#include "folders/OwnedFolders.h"
#include "uninstall/RemovalRules.h"

namespace {

using folders::CheckOwnableFolder;
using folders::ComparablePath;
using folders::FolderRefusal;
using folders::ProtectedFolders;
using uninstall::FolderToRemove;

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

FolderRefusal Refusal(const std::string& folder) {
  return CheckOwnableFolder(folder, TypicalSystem()).refusal;
}

TEST(OwnedFoldersTest, OnlyAFinalBackslashIsCut) {
  EXPECT_EQ(FolderToRemove("D:\\Apps\\Parvane\\"), "D:\\Apps\\Parvane");
  // Cutting blindly would name the neighbouring folder "D:\Apps\Parvan".
  EXPECT_EQ(FolderToRemove("D:\\Apps\\Parvane"), "D:\\Apps\\Parvane");
  EXPECT_EQ(FolderToRemove(""), "");
  // 0x81 0x5C is one GBK character, not a backslash.
  EXPECT_EQ(FolderToRemove("D:\\\x81\x5c"), "D:\\\x81\x5c");
  EXPECT_EQ(FolderToRemove("D:\\\x81\x5c\\"), "D:\\\x81\x5c");
}

TEST(OwnedFoldersTest, PathsAreReadAsWindowsResolvesThem) {
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

TEST(OwnedFoldersTest, EmptyRelativeAndRootFoldersAreRefused) {
  EXPECT_EQ(Refusal(""), FolderRefusal::kEmpty);
  for (const char* folder : {"Parvane", "Tavisk\\Parvane", "\\Tavisk\\Parvane", "C:Parvane",
                             ".", "..\\x", "\\\\", "1:\\x"}) {
    EXPECT_EQ(Refusal(folder), FolderRefusal::kNotAbsolute) << folder;
  }
  for (const char* folder : {"C:\\", "C:", "d:/", "C:\\.", "C:\\Apps\\..", "\\\\?\\C:\\"}) {
    EXPECT_EQ(Refusal(folder), FolderRefusal::kDriveRoot) << folder;
  }
  for (const char* folder : {"\\\\server", "\\\\server\\share", "\\\\server\\share\\",
                             "\\\\server\\share\\x\\..", "\\\\?\\UNC\\server\\share"}) {
    EXPECT_EQ(Refusal(folder), FolderRefusal::kShareRoot) << folder;
  }
}

// One rule for both modes: the wizard installs only into, and the driver
// installer is only started from, a folder that names one place.
TEST(OwnedFoldersTest, AbsoluteFoldersNameADriveOrAServer) {
  for (const char* folder : {"C:\\Program Files\\Tavisk\\Parvane\\", "d:/x", "C:/x", "C:\\",
                             "\\\\server\\share\\x", "\\\\server", "//server/share",
                             "\\\\?\\C:\\x"}) {
    EXPECT_TRUE(folders::IsAbsoluteFolder(folder)) << folder;
  }
  for (const char* folder : {"", "Parvane\\", "\\Tavisk\\Parvane\\", "C:Parvane", "C:",
                             "\\\\", "\\\\\\server", ".\\x", "1:\\x", ":\\x"}) {
    EXPECT_FALSE(folders::IsAbsoluteFolder(folder)) << folder;
  }
  EXPECT_EQ(CheckOwnableFolder("\\\\\\server\\share\\x", TypicalSystem()).refusal,
            FolderRefusal::kNotAbsolute);
}

TEST(OwnedFoldersTest, SystemFoldersAndTheirParentsAreRefused) {
  for (const char* folder :
       {"C:\\Windows", "c:\\windows\\", "C:\\WINDOWS\\System32", "C:\\Program Files",
        "C:\\Program Files (x86)", "C:\\ProgramData", "C:\\Users", "C:\\Users\\bob",
        "C:\\Users\\bob\\Desktop", "C:\\Users\\Public", "C:\\Users\\Public\\Desktop",
        "C:\\ProgramData\\Microsoft\\Windows\\Start Menu", "C:\\ProgramData\\Microsoft",
        "D:\\Profiles", "D:\\Profiles\\alice", "C:\\Apps\\..\\Windows", "\\\\?\\C:\\Windows"}) {
    EXPECT_EQ(Refusal(folder), FolderRefusal::kProtectedFolder) << folder;
  }
  // Any direct subfolder of the Users folder is somebody's profile, also
  // when the profiles are kept at a drive's root.
  EXPECT_EQ(Refusal("C:\\Users\\carol"), FolderRefusal::kProtectedFolder);
  ProtectedFolders rootProfiles = TypicalSystem();
  rootProfiles.profileParents = {"E:\\"};
  EXPECT_EQ(CheckOwnableFolder("E:\\dave", rootProfiles).refusal, FolderRefusal::kProtectedFolder);
  // The report names the folder that was hit.
  EXPECT_EQ(CheckOwnableFolder("C:\\ProgramData\\Microsoft", TypicalSystem()).protectedFolder,
            "C:\\ProgramData\\Microsoft\\Windows\\Start Menu");
}

TEST(OwnedFoldersTest, InstallationFoldersBelowSystemFoldersAreAccepted) {
  for (const char* folder :
       {"C:\\Program Files\\Tavisk\\Parvane", "C:\\Program Files (x86)\\Tavisk",
        "C:\\Users\\bob\\Apps\\Parvane", "C:\\Users\\carol\\Parvane", "D:\\Parvane",
        "C:\\Windows2", "C:\\Program Files Extra", "\\\\server\\share\\Parvane",
        "D:\\\xb5\xda\xb6\xfe \xb0\xb2\xd7\xb0\\Parvane"}) {
    EXPECT_EQ(Refusal(folder), FolderRefusal::kNone) << folder;
  }
}

// "C:\Users\bob\x" with a GBK character ending in 0x5C must not be read as
// the profile root's parent or as a prefix match across a false backslash.
TEST(OwnedFoldersTest, ATrailByteBackslashIsNoSeparator) {
  ProtectedFolders system;
  system.folders = {"C:\\A\x81\x5c" "B"};
  EXPECT_EQ(CheckOwnableFolder("C:\\A\x81", system).refusal, FolderRefusal::kNone);
  EXPECT_EQ(CheckOwnableFolder("C:\\A\x81\x5c" "B", system).refusal,
            FolderRefusal::kProtectedFolder);
  system.folders.clear();
  system.profileParents = {"C:\\U"};
  EXPECT_EQ(CheckOwnableFolder("C:\\U\x81\x5c" "x", system).refusal, FolderRefusal::kNone);
  EXPECT_EQ(CheckOwnableFolder("C:\\U\\\x81\x5c" "x", system).refusal,
            FolderRefusal::kProtectedFolder);
}

}  // namespace
