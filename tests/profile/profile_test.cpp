#include "profile/profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/file_io.h"
#include "tests/support/scratch.h"

namespace platform {
namespace {

class ProfileTest : public ::testing::Test {
 protected:
  void Write(const std::string& content) { ASSERT_TRUE(WriteFileAtomically(path_, content).ok()); }
  std::string Read(std::string_view section, std::string_view key, std::string_view fallback = "dflt",
                   std::size_t size = 256) {
    return ReadProfileString(path_, section, key, fallback, size);
  }

  test_support::ScratchDirectory scratch_{"profile_test"};
  std::string directory_ = scratch_.Path().string();
  std::string path_ = scratch_ / "test.ini";
};

TEST_F(ProfileTest, NamesAreCaseInsensitiveAndBlanksAreTrimmed) {
  Write("[ Printer Alerts ]\r\n  Paper Jam  =  Yes please  \r\nInput=No\r\n");
  EXPECT_EQ(Read("printer alerts", "PAPER JAM"), "Yes please");
  EXPECT_EQ(Read("  Printer Alerts ", " input "), "No");
  EXPECT_EQ(Read("Printer Alerts", "Output"), "dflt");
  EXPECT_EQ(Read("Other", "Input"), "dflt");
}

TEST_F(ProfileTest, ValuesKeepInnerBlanksAndEqualSignsAndLoseMatchingQuotes) {
  Write("[s]\nk1=a = b  c\nk2=\"quoted value\"\nk3='single'\nk4=\"unbalanced'\nk5=\nk6\nk7=\"\"\n");
  EXPECT_EQ(Read("s", "k1"), "a = b  c");
  EXPECT_EQ(Read("s", "k2"), "quoted value");
  EXPECT_EQ(Read("s", "k3"), "single");
  EXPECT_EQ(Read("s", "k4"), "\"unbalanced'");
  EXPECT_EQ(Read("s", "k5"), "") << "an empty value is not the default";
  EXPECT_EQ(Read("s", "k6"), "dflt") << "a line without = is no key";
  EXPECT_EQ(Read("s", "k7"), "");
}

TEST_F(ProfileTest, FirstKeyAndFirstSectionWin) {
  Write("[s]\nk=first\nk=second\n[S]\nk=other section\nj=only here\n");
  EXPECT_EQ(Read("s", "k"), "first");
  EXPECT_EQ(Read("s", "j"), "dflt");
}

TEST_F(ProfileTest, AllLineEndsWorkAndTheLastLineNeedsNone) {
  Write("[a]\rx=1\r[b]\ny=2\r\n[c]\r\nz=3");
  EXPECT_EQ(Read("a", "x"), "1");
  EXPECT_EQ(Read("b", "y"), "2");
  EXPECT_EQ(Read("c", "z"), "3");
}

TEST_F(ProfileTest, ResultsAreCutToTheBufferAndDefaultsLoseTrailingBlanks) {
  Write("[s]\nk=abcdefghij\n");
  EXPECT_EQ(Read("s", "k", "", 5), "abcd");
  EXPECT_EQ(Read("s", "k", "", 1), "");
  EXPECT_EQ(Read("s", "k", "", 0), "");
  EXPECT_EQ(Read("s", "missing", "def   ", 256), "def");
  EXPECT_EQ(Read("s", "missing", "default", 4), "def");
  EXPECT_EQ(ReadProfileString(directory_ + "/absent.ini", "s", "k", "none  ", 10), "none");
}

TEST_F(ProfileTest, ALongLineNulBytesAndGarbageAreReadSafely) {
  std::string longValue(100000, 'v');
  std::string content = "garbage before any section=1\n[s]\nlong=" + longValue + "\nnul=ab";
  content += '\0';
  content += "cd\n\x01\x02\xff=binary\n;comment=1\n";
  Write(content);
  EXPECT_EQ(Read("s", "long", "", 200000), longValue);
  EXPECT_EQ(Read("s", "nul"), "ab");
  EXPECT_EQ(Read("s", "\x01\x02\xff"), "binary");
  EXPECT_EQ(Read("s", ";comment"), "dflt");
}

TEST_F(ProfileTest, SectionAndKeyNamesAreCutAtANulBeforeTheyAreTrimmed) {
  using namespace std::string_literals;
  Write("[ Printer Alerts \0junk]\nPaper Jam \0junk=Yes\n  Toner\t\0=Low\n\0=nameless\n"s);
  EXPECT_EQ(Read("Printer Alerts", "Paper Jam"), "Yes");
  EXPECT_EQ(Read("printer alerts", "toner"), "Low");
  auto document = LoadProfile(path_);
  ASSERT_NE(document, nullptr);
  ASSERT_EQ(document->sections.size(), 1u);
  EXPECT_EQ(document->sections[0].name, "Printer Alerts");
  // A key that is empty once cut is no key at all.
  ASSERT_EQ(document->sections[0].entries.size(), 2u);
  EXPECT_EQ(document->sections[0].entries[0].key, "Paper Jam");
  EXPECT_EQ(document->sections[0].entries[1].key, "Toner");
}

TEST_F(ProfileTest, AFileRewrittenBetweenTwoReadsIsSeenAtTheNextRead) {
  Write("[s]\nk=old\n");
  EXPECT_EQ(Read("s", "k"), "old");
  Write("[s]\nk=new\n");
  EXPECT_EQ(Read("s", "k"), "new");
  // Same size and possibly the same modification second: the inode differs after an atomic rewrite.
  Write("[s]\nk=abc\n");
  EXPECT_EQ(Read("s", "k"), "abc");
  {
    std::ofstream inPlace(path_, std::ios::binary | std::ios::trunc);
    inPlace << "[s]\nk=rewritten in place\n";
  }
  EXPECT_EQ(Read("s", "k"), "rewritten in place");
  std::filesystem::remove(path_);
  EXPECT_EQ(Read("s", "k"), "dflt");
}

TEST_F(ProfileTest, LoadProfileKeepsSectionsEntriesAndLineNumbers) {
  Write("; header\n[Printer one]\nId=1\n\n[Printer two]\nId = 2\nMac=0010\n");
  auto document = LoadProfile(path_);
  ASSERT_NE(document, nullptr);
  ASSERT_EQ(document->sections.size(), 2u);
  EXPECT_EQ(document->sections[1].name, "Printer two");
  EXPECT_EQ(document->sections[1].line, 5);
  ASSERT_EQ(document->sections[1].entries.size(), 2u);
  EXPECT_EQ(document->sections[1].entries[1].key, "Mac");
  EXPECT_EQ(document->sections[1].entries[1].line, 7);
  EXPECT_EQ(LoadProfile(path_), document) << "an unchanged file is not parsed again";
  EXPECT_EQ(LoadProfile(directory_), nullptr) << "a directory is no profile";
}

TEST_F(ProfileTest, AVersionReadIsParsedAfreshAndOnlyWhileTheFileIsOfThatVersion) {
  EXPECT_FALSE(FileVersionOf(path_)) << "no file yet";
  EXPECT_FALSE(FileVersionOf(directory_)) << "a directory is no profile";
  Write("[Printer one]\nId=1\n");
  const std::optional<FileVersion> first = FileVersionOf(path_);
  ASSERT_TRUE(first);
  EXPECT_EQ(FileVersionOf(path_), first) << "an unchanged file keeps its version";
  EXPECT_EQ(first->size, 19);

  bool changed = true;
  auto document = ReadProfileVersion(path_, *first, changed);
  ASSERT_NE(document, nullptr);
  EXPECT_FALSE(changed);
  ASSERT_EQ(document->sections.size(), 1u);
  EXPECT_EQ(document->sections[0].entries[0].value, "1");
  auto again = ReadProfileVersion(path_, *first, changed);
  ASSERT_NE(again, nullptr);
  EXPECT_NE(again.get(), document.get()) << "every read parses anew";

  // Rewritten with the same size: the new inode makes it a new version.
  Write("[Printer one]\nId=2\n");
  const std::optional<FileVersion> second = FileVersionOf(path_);
  ASSERT_TRUE(second);
  EXPECT_NE(second, first);
  EXPECT_EQ(ReadProfileVersion(path_, *first, changed), nullptr);
  EXPECT_TRUE(changed) << "the file is no longer of the version asked";
  document = ReadProfileVersion(path_, *second, changed);
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->sections[0].entries[0].value, "2");

  std::filesystem::remove(path_);
  EXPECT_EQ(ReadProfileVersion(path_, *second, changed), nullptr);
  EXPECT_FALSE(changed) << "a file that is gone cannot be read; it did not change into another";
}

}  // namespace
}  // namespace platform
