// How the installer reads its command line: where the program's name ends,
// and when "uninstall" selects uninstall mode.
#include <gtest/gtest.h>

#include <string>

#include "app/CommandLine.h"

namespace {

bool IsGbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

std::string Arguments(const std::string& processCommandLine) {
  return app::SkipProgramName(processCommandLine.c_str(), IsGbkLeadByte);
}

bool SelectsUninstall(const std::string& processCommandLine) {
  return app::RequestsUninstall(Arguments(processCommandLine).c_str(), IsGbkLeadByte);
}

TEST(ProgramNameTest, NameEndsAtFirstBlankOrControlByteOutsideQuotes) {
  EXPECT_EQ(Arguments("setup.exe"), "");
  EXPECT_EQ(Arguments("setup.exe uninstall"), "uninstall");
  EXPECT_EQ(Arguments("setup.exe\tuninstall"), "uninstall");
  EXPECT_EQ(Arguments("setup.exe \t \x01\x1f\x20 a  b "), "a  b ");
  EXPECT_EQ(Arguments("\"C:\\Program Files\\setup.exe\" x"), "x");
  // Quotes switch anywhere, also in the middle of the name.
  EXPECT_EQ(Arguments("C:\\\"Program Files\"\\setup.exe -q"), "-q");
  // An unclosed quote takes the whole rest as the name.
  EXPECT_EQ(Arguments("\"C:\\a b\\setup.exe uninstall"), "");
  // A command line that starts with a blank has an empty name.
  EXPECT_EQ(Arguments(" uninstall"), "uninstall");
  EXPECT_EQ(Arguments(""), "");
}

TEST(ProgramNameTest, DoubleByteCharactersAreSteppedOverWhole) {
  // 0x81 0x20 and 0xB0 0x22 are single GBK characters: their trail bytes
  // are neither a blank nor a quote.
  EXPECT_EQ(Arguments("C:\\\x81\x20setup.exe uninstall"), "uninstall");
  EXPECT_EQ(Arguments("C:\\\xB0\x22" "a b.exe c"), "b.exe c");
  // A lead byte right before the end does not step past it, into what
  // follows the command line in memory.
  EXPECT_EQ(Arguments("setup\x81"), "");
  const char beyond[] = "a\x81\0 uninstall";
  EXPECT_STREQ(app::SkipProgramName(beyond, IsGbkLeadByte), "");
  EXPECT_FALSE(app::RequestsUninstall(beyond, IsGbkLeadByte));
}

TEST(UninstallWordTest, CaseSensitiveSubstringAnywhereAfterTheName) {
  EXPECT_FALSE(SelectsUninstall("setup.exe"));
  EXPECT_TRUE(SelectsUninstall("setup.exe uninstall"));
  EXPECT_TRUE(SelectsUninstall("setup.exe -uninstall"));
  EXPECT_TRUE(SelectsUninstall("setup.exe /uninstall"));
  EXPECT_TRUE(SelectsUninstall("setup.exe reuninstallx"));
  EXPECT_TRUE(SelectsUninstall("setup.exe \"a b\" uninstall"));
  EXPECT_FALSE(SelectsUninstall("setup.exe /UNINSTALL"));
  EXPECT_FALSE(SelectsUninstall("setup.exe Uninstall"));
  EXPECT_FALSE(SelectsUninstall("setup.exe uninstal"));
}

TEST(UninstallWordTest, TheProgramsOwnNameIsNotSearched) {
  EXPECT_FALSE(SelectsUninstall("\"C:\\uninstall here\\setup.exe\""));
  EXPECT_FALSE(SelectsUninstall("C:\\uninstall\\setup.exe"));
  EXPECT_TRUE(SelectsUninstall("\"C:\\uninstall here\\setup.exe\" uninstall"));
}

TEST(UninstallWordTest, UnquotedPathWithBlanksIsSearchedAfterTheFirstBlank) {
  // The uninstall entry's command: the name ends at "C:\Program", the rest
  // of the path belongs to the arguments and "uninstall" is still found.
  const std::string entry = "C:\\Program Files\\Tavisk\\Parvane\\ParvaneSetup.exe uninstall";
  EXPECT_EQ(Arguments(entry), "Files\\Tavisk\\Parvane\\ParvaneSetup.exe uninstall");
  EXPECT_TRUE(SelectsUninstall(entry));
  // A blank in the path puts a folder named "uninstall" into the arguments.
  EXPECT_TRUE(SelectsUninstall("C:\\My uninstall\\setup.exe"));
  EXPECT_FALSE(SelectsUninstall("C:\\Program Files\\setup.exe"));
}

TEST(UninstallWordTest, NoMatchBeginsOnATrailByte) {
  // 0x81 'u' is one GBK character: "ninstall" after it is no match.
  EXPECT_FALSE(SelectsUninstall("setup.exe \x81uninstall"));
  EXPECT_FALSE(SelectsUninstall("setup.exe \xD6\xD0\x81uninstall"));
  // After a whole double-byte character the word matches.
  EXPECT_TRUE(SelectsUninstall("setup.exe \x81\x40uninstall"));
  EXPECT_TRUE(SelectsUninstall("setup.exe \xD6\xD0uninstall"));
  // A single-byte character before it changes the pairing.
  EXPECT_TRUE(SelectsUninstall("setup.exe \xD6\xD0\x41uninstall"));
}

}  // namespace
