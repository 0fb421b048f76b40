// The packaging tool as a release engineer runs it: commands, output
// formats and exit statuses.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "tests/host/TestSupport.h"

namespace {

using namespace testing_support;

struct ToolRun {
  int status;
  std::string out;
};

// Runs the tool through the shell; stderr goes to a file beside the output.
ToolRun Pack(const std::string& arguments, const TempDir& dir) {
  const std::string command = std::string(PACK_TOOL) + " " + arguments + " 2>" + dir.path() + "/stderr";
  FILE* pipe = popen(command.c_str(), "r");
  ToolRun run{-1, ""};
  char buffer[4096];
  size_t count;
  while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, count);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class PackToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir_ / "image", std::string(100, 'M'));
    mkdir((dir_ / "root").c_str(), 0755);
    mkdir((dir_ / "root/b").c_str(), 0755);
    mkdir((dir_ / "root/empty").c_str(), 0755);
    WriteFile(dir_ / "root/ab", "ab");
    WriteFile(dir_ / "root/a.txt", "a");
    WriteFile(dir_ / "root/b/c", "c");
  }
  std::string Stderr() { return ReadFile(dir_ / "stderr"); }

  TempDir dir_;
  std::string image_ = dir_ / "image";
  std::string package_ = dir_ / "out.exe";
};

TEST_F(PackToolTest, BuildsFromAFolderInPathOrderAndListsAsJson) {
  // A link to a folder is left out: followed, it could pack a folder twice
  // or never end.
  ASSERT_EQ(symlink("b", (dir_ / "root/link").c_str()), 0);
  ToolRun build = Pack("build --image " + image_ + " --out " + package_ + " --title T " + dir_ / "root", dir_);
  ASSERT_EQ(build.status, 0) << Stderr();
  ToolRun list = Pack("list --json " + package_, dir_);
  EXPECT_EQ(list.status, 0);
  // "a.txt" < "ab" < "b\c"; streams follow the 100-byte image back to back.
  const std::string a = Deflate("a"), ab = Deflate("ab");
  const int offset2 = 100 + static_cast<int>(a.size() + ab.size());
  const std::string expected =
      "{\"code\": 1002, \"title_hex\": \"54\", \"entries\": ["
      "{\"folder_hex\": \"\", \"file_hex\": \"612e747874\", \"inflated\": 1, \"compressed\": " +
      std::to_string(a.size()) + ", \"offset\": 100}, "
      "{\"folder_hex\": \"\", \"file_hex\": \"6162\", \"inflated\": 2, \"compressed\": " +
      std::to_string(ab.size()) + ", \"offset\": " + std::to_string(100 + a.size()) + "}, "
      "{\"folder_hex\": \"625c\", \"file_hex\": \"63\", \"inflated\": 1, \"compressed\": " +
      std::to_string(Deflate("c").size()) + ", \"offset\": " + std::to_string(offset2) +
      "}], \"payload_end\": " + std::to_string(ReadFile(package_).size()) + "}\n";
  EXPECT_EQ(list.out, expected);
}

TEST_F(PackToolTest, ListReportsResultCodesOfBadPackages) {
  WriteFile(package_, "no package");
  ToolRun list = Pack("list --json " + package_, dir_);
  EXPECT_EQ(list.status, 1);
  EXPECT_EQ(list.out,
            "{\"code\": 1001, \"title_hex\": \"\", \"entries\": [], \"payload_end\": 0}\n");
  WriteFile(package_, Tail(0, 0));
  list = Pack("list --json " + package_, dir_);
  EXPECT_EQ(list.status, 1);
  EXPECT_EQ(list.out,
            "{\"code\": 1004, \"title_hex\": \"\", \"entries\": [], \"payload_end\": 0}\n");
  ToolRun missing = Pack("list " + dir_ / "missing", dir_);
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(Stderr().find("1000"), std::string::npos);
}

TEST_F(PackToolTest, ListFileNamesTheEntriesAndThreadsDoNotChangeTheBytes) {
  std::string list;
  for (int i = 0; i < 30; ++i) {
    WriteFile(dir_ / ("s" + std::to_string(i)), MixedContent(static_cast<size_t>(i) * 7000, i));
    list += "dir" + std::to_string(i % 3) + "\\\xD6\xD0" + std::to_string(i) + "\ts" + std::to_string(i) + "\n";
  }
  list += "absolute\t" + dir_ / "s1" + "\r\n";
  WriteFile(dir_ / "entries.lst", list);
  const std::string common = "build --image " + image_ + " --list " + dir_ / "entries.lst";
  ASSERT_EQ(Pack(common + " --jobs 1 --out " + dir_ / "one.exe", dir_).status, 0) << Stderr();
  ASSERT_EQ(Pack(common + " --jobs 3 --out " + dir_ / "three.exe", dir_).status, 0) << Stderr();
  EXPECT_EQ(ReadFile(dir_ / "one.exe"), ReadFile(dir_ / "three.exe"));
  ToolRun listed = Pack("list --json " + dir_ / "one.exe", dir_);
  EXPECT_NE(listed.out.find("\"folder_hex\": \"646972325c\", \"file_hex\": \"d6d03239\""),
            std::string::npos);
}

TEST_F(PackToolTest, Utf8NamesAreConvertedToGbkOnRequest) {
  WriteFile(dir_ / "root/\xE4\xB8\xAD", "zh");  // UTF-8 for U+4E2D
  mkdir((dir_ / "root/\xE6\x96\x87").c_str(), 0755);  // U+6587, GBK CE C4
  WriteFile(dir_ / "root/\xE6\x96\x87/a", "in a folder");
  ASSERT_EQ(Pack("build --from-utf8 --title \xE4\xB8\xAD --image " + image_ + " --out " + package_ +
                     " " + dir_ / "root",
                 dir_)
                .status,
            0)
      << Stderr();
  const std::string json = Pack("list --json " + package_, dir_).out;
  EXPECT_NE(json.find("\"title_hex\": \"d6d0\""), std::string::npos);
  EXPECT_NE(json.find("\"file_hex\": \"d6d0\""), std::string::npos);
  EXPECT_NE(json.find("\"folder_hex\": \"cec45c\", \"file_hex\": \"61\""), std::string::npos) << json;

  // A name GBK cannot hold is refused, not cut short.
  WriteFile(dir_ / "root/\xF0\x9F\x98\x80", "emoji");
  ToolRun refused = Pack("build --from-utf8 --image " + image_ + " --out " + dir_ / "emoji.exe" +
                             " " + dir_ / "root",
                         dir_);
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(Stderr().find("GBK can hold"), std::string::npos) << Stderr();
  EXPECT_FALSE(Exists(dir_ / "emoji.exe"));
}

TEST_F(PackToolTest, ExtractPrintsEveryEventAndTheResult) {
  ASSERT_EQ(Pack("build --image " + image_ + " --out " + package_ + " " + dir_ / "root", dir_).status, 0);
  ToolRun run = Pack("extract " + package_ + " " + dir_ / "new/target --events", dir_);
  EXPECT_EQ(run.status, 0) << Stderr();
  EXPECT_EQ(run.out, "BEGIN 2\nDONE 2\nBEGIN 1\nDONE 1\nBEGIN 0\nDONE 0\nRESULT 1002\n");
  EXPECT_EQ(ReadFile(dir_ / "new/target/b/c"), "c");
  EXPECT_EQ(ReadFile(dir_ / "new/target/ab"), "ab");
}

TEST_F(PackToolTest, VerifyAndExtractReportDamage) {
  BuiltPackage built = BuildPackage({{"", "x", MixedContent(30000, 1)}, {"", "y", "yy"}});
  const size_t dataEnd = built.bytes.size() - 22 - RecordBytes(built.records[0]).size() -
                         RecordBytes(built.records[1]).size();
  WriteFile(package_, built.bytes);
  EXPECT_EQ(Pack("verify " + package_, dir_).status, 0);

  std::string damaged = built.bytes;
  damaged[static_cast<size_t>(built.records[0].offset + 100)] ^= 0x40;
  WriteFile(package_, damaged);
  ToolRun verify = Pack("verify " + package_, dir_);
  EXPECT_EQ(verify.status, 1);
  EXPECT_NE(verify.out.find("entry 0 \"x\""), std::string::npos) << verify.out;
  EXPECT_EQ(verify.out.find("entry 1"), std::string::npos) << verify.out;
  ToolRun extract = Pack("extract " + package_ + " " + dir_ / "t --events", dir_);
  EXPECT_EQ(extract.status, 1);
  EXPECT_EQ(extract.out.substr(extract.out.size() - 12), "RESULT 1005\n");

  std::vector<RawRecord> records = built.records;
  records[1].inflatedSize = 3;
  WriteFile(package_, AssemblePackage(built.bytes.substr(0, dataEnd), {}, records));
  verify = Pack("verify " + package_, dir_);
  EXPECT_EQ(verify.status, 1);
  EXPECT_NE(verify.out.find("entry 1 \"y\": inflates to 2 bytes"), std::string::npos) << verify.out;
  records[1].inflatedSize = 1;
  WriteFile(package_, AssemblePackage(built.bytes.substr(0, dataEnd), {}, records));
  verify = Pack("verify " + package_, dir_);
  EXPECT_NE(verify.out.find("entry 1 \"y\": inflates to 2 bytes"), std::string::npos) << verify.out;

  records = built.records;
  records[1].fileName.clear();
  WriteFile(package_, AssemblePackage(built.bytes.substr(0, dataEnd), {}, records));
  verify = Pack("verify " + package_, dir_);
  EXPECT_EQ(verify.status, 1);
  EXPECT_NE(verify.out.find("empty file name"), std::string::npos) << verify.out;
}

// A signed package lists, verifies and extracts like the unsigned one; the
// signature is not taken for payload, and a changed payload byte still
// shows.
TEST_F(PackToolTest, SignedPackagesWorkWithEveryCommand) {
  WriteFile(image_, PeImage());
  ASSERT_EQ(Pack("build --image " + image_ + " --out " + package_ + " " + dir_ / "root", dir_).status,
            0);
  const std::string unsignedBytes = ReadFile(package_);
  const std::string unsignedList = Pack("list --json " + package_, dir_).out;
  WriteFile(package_, Sign(unsignedBytes, 5));

  ToolRun list = Pack("list --json " + package_, dir_);
  EXPECT_EQ(list.status, 0) << Stderr();
  EXPECT_EQ(list.out, unsignedList);
  ToolRun table = Pack("list " + package_, dir_);
  EXPECT_NE(table.out.find("payload ends at: " + std::to_string(unsignedBytes.size())),
            std::string::npos) << table.out;
  ToolRun verify = Pack("verify " + package_, dir_);
  EXPECT_EQ(verify.status, 0) << verify.out;
  EXPECT_EQ(verify.out, "3 entries, 0 with problems\n");
  ToolRun extract = Pack("extract " + package_ + " " + dir_ / "t", dir_);
  EXPECT_EQ(extract.status, 0) << Stderr();
  EXPECT_EQ(ReadFile(dir_ / "t/b/c"), "c");

  std::string damaged = ReadFile(package_);
  damaged[PeImage().size() + 3] ^= 0x20;  // inside the first stream
  WriteFile(package_, damaged);
  EXPECT_EQ(Pack("verify " + package_, dir_).status, 1);
}

TEST_F(PackToolTest, CommandLineMistakesExitWithTwo) {
  EXPECT_EQ(Pack("", dir_).status, 2);
  EXPECT_EQ(Pack("frobnicate", dir_).status, 2);
  EXPECT_EQ(Pack("build --out " + package_ + " " + dir_ / "root", dir_).status, 2);
  EXPECT_EQ(Pack("build --image " + image_ + " --out " + package_, dir_).status, 2);
  EXPECT_EQ(Pack("build --image " + image_ + " --out " + package_ + " --jobs 0 " + dir_ / "root", dir_).status, 2);
  EXPECT_EQ(Pack("build --image " + image_ + " --out " + package_ + " -x", dir_).status, 2);
  EXPECT_EQ(Pack("build --image " + image_ + " --out " + package_ + " " + dir_ / "root" + " " +
                     dir_ / "root/b",
                 dir_)
                .status,
            2);
  EXPECT_EQ(Pack("list", dir_).status, 2);
  EXPECT_EQ(Pack("extract " + package_, dir_).status, 2);
  EXPECT_FALSE(Exists(package_));
  ToolRun help = Pack("--help", dir_);
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("exit status"), std::string::npos);
}

TEST_F(PackToolTest, FailedBuildLeavesNoPackage) {
  WriteFile(dir_ / "bad.lst", "a\tmissing-file\n");
  ToolRun run = Pack("build --image " + image_ + " --out " + package_ + " --list " + dir_ / "bad.lst", dir_);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(Stderr().find("missing-file"), std::string::npos);
  EXPECT_FALSE(Exists(package_));
  EXPECT_EQ(ListFolder(dir_.path()), (std::vector<std::string>{"bad.lst", "image", "root", "stderr"}));

  // A backslash in a file's name would become a folder separator.
  WriteFile(dir_ / "root/b/back\\slash", "x");
  run = Pack("build --image " + image_ + " --out " + package_ + " " + dir_ / "root", dir_);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(Stderr().find("backslash"), std::string::npos) << Stderr();
  EXPECT_FALSE(Exists(package_));
}

// No install folder is shorter than "C:\": a name of 257 bytes or more can
// never be installed. One that does not fit below the 64-bit default
// folder (38 bytes) builds, with a warning.
TEST_F(PackToolTest, NamesMustFitBelowTheShortestInstallFolder) {
  struct Case {
    size_t length;
    int status;
    bool warned;
  };
  for (const Case c : {Case{257, 1, false}, Case{256, 0, true}, Case{222, 0, true},
                       Case{221, 0, false}}) {
    const std::string name = "d\\" + std::string(c.length - 2, 'n');
    WriteFile(dir_ / "long.lst", name + "\troot/a.txt\n");
    ToolRun run =
        Pack("build --image " + image_ + " --out " + package_ + " --list " + dir_ / "long.lst", dir_);
    EXPECT_EQ(run.status, c.status) << c.length;
    EXPECT_EQ(Exists(package_), c.status == 0) << c.length;
    const std::string errors = Stderr();
    EXPECT_EQ(errors.find("warning") != std::string::npos, c.warned) << c.length << ": " << errors;
    if (c.status != 0) {
      EXPECT_NE(errors.find("name too long"), std::string::npos) << errors;
      EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    }
    std::remove(package_.c_str());
  }
}

}  // namespace
