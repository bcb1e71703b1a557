#include <gtest/gtest.h>

#include "eif/eif_config.h"
#include "eif_test_support.h"

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

class EifConfigTest : public testing::Test {
 protected:
  int Load(const std::string& content) { return LoadConfig(dir.Path("KorEvntS.ini"), content); }
  std::string LoadCapturingOutput(const std::string& content) {
    CaptureStdout();
    EXPECT_EQ(Load(content), EIF_CONFIG_OK);
    return GetCapturedStdout();
  }
  ScratchDirectory dir;
};

TEST_F(EifConfigTest, SectionHeadersAreSyntaxErrorsAndKeysOfEverySectionAreRead) {
  std::string output = LoadCapturingOutput(
      "[Tivoli Adapter Configuration File]\nServerLocation=tec1,tec2\nServerPort=5529\n[Other]\nFilterMode=IN\n");
  EXPECT_EQ(output,
            "syntax error in configuration file, line 1 ignored\n"
            "syntax error in configuration file, line 4 ignored\n");
  EXPECT_EQ(EifKeyList().Count(), 3u);
  EXPECT_EQ(EifGetList("ServerLocation"), (std::vector<std::string>{"tec1", "tec2"}));
  EXPECT_EQ(*EifGetValue("ServerPort"), "5529");
  EXPECT_EQ(*EifGetValue("FilterMode"), "IN");
}

TEST_F(EifConfigTest, KeyLinesFollowTheNameEqualsValueRules) {
  std::string output = LoadCapturingOutput(
      "ServerPort = 5529\n"          // the name ends in a blank
      "RetryInterval=30 seconds\n"   // the value stops at the blank
      "TestMode=yes\n"
      "TestMode=no\n"                // the first value wins
      "# comment=1\n"
      "\n"
      "=novalue\n"                   // line 7: nothing before "="
      "NoEquals\n"                   // line 8
      "Empty=   \n"                  // line 9: no value
      "#Filter:severity=HARMLESS\n"
      " Filter:severity=WARNING\n"   // a key line whose name begins with a blank
      "BufEvtPath=a=b\n"
      "Last=kept");                  // no line terminator
  EXPECT_EQ(output,
            "syntax error in configuration file, line 7 ignored\n"
            "syntax error in configuration file, line 8 ignored\n"
            "syntax error in configuration file, line 9 ignored\n");
  EXPECT_EQ(EifGetValue("ServerPort"), nullptr);
  EXPECT_EQ(*EifGetValue("ServerPort "), "5529");
  EXPECT_EQ(*EifGetValue("RetryInterval"), "30");
  EXPECT_EQ(*EifGetValue("TestMode"), "yes");
  EXPECT_EQ(*EifGetValue(" Filter:severity"), "WARNING");
  EXPECT_EQ(*EifGetValue("BufEvtPath"), "a=b");
  EXPECT_EQ(*EifGetValue("Last"), "kept");
  EXPECT_EQ(EifGetValue("testmode"), nullptr);
  EXPECT_TRUE(EifFilterList().Empty());
}

TEST_F(EifConfigTest, ListsKeepAtMostEightItemsAndSkipEmptyOnes) {
  Load("ServerLocation=a,b,c,d,e,f,g,h,i,j\nServerPort=,,5529,,,6000,\n");
  EXPECT_EQ(EifGetList("ServerLocation"), (std::vector<std::string>{"a", "b", "c", "d", "e", "f", "g", "h"}));
  EXPECT_EQ(EifGetList("ServerPort"), (std::vector<std::string>{"5529", "6000"}));
  EXPECT_TRUE(EifGetList("Missing").empty());
}

TEST_F(EifConfigTest, NumbersCountOnlyWhenTheyStartWithADigit) {
  Load("BufEvtMaxSize=abc\nBufEvtShrinkSize=12kb\nBufEvtRdBlkLen=99999999999999999999\nBufferFlushRate=-3\n");
  EXPECT_EQ(EifGetNumber("BufEvtMaxSize", 64), 64);
  EXPECT_EQ(EifGetNumber("BufEvtShrinkSize", 8), 12);
  EXPECT_EQ(EifGetNumber("BufEvtRdBlkLen", 1), 2147483647);
  EXPECT_EQ(EifGetNumber("BufferFlushRate", 0), 0);
  EXPECT_EQ(EifGetNumber("Missing", 7), 7);
}

TEST_F(EifConfigTest, FilterLinesGiveOneFilterPerLineOrASyntaxError) {
  std::string output = LoadCapturingOutput(
      "Filter:Class=Korvane_Printer_Alert;severity=HARMLESS\n"
      "FilterCache:msg='a=b;sev=x\n"
      "Filter:severity=WARNING;msg=\n"   // line 3: the last name has no value
      "Filter:\n"                        // no pair, no error
      "Filter:==x==y;\n"                 // leading separators are skipped
      "Filter:justaname\n"               // line 6
      "FilterCache:a=1;;\n");            // line 7: the second ";" begins a name
  EXPECT_EQ(output,
            "syntax error in configuration file, line 3 ignored\n"
            "syntax error in configuration file, line 6 ignored\n"
            "syntax error in configuration file, line 7 ignored\n");
  ASSERT_EQ(EifFilterList().Count(), 2u);
  const EifFilter& first = *EifFilterList().Get(0);
  ASSERT_EQ(first.Count(), 2u);
  EXPECT_EQ(first.Get(0)->name, "Class");
  EXPECT_EQ(first.Get(0)->value, "Korvane_Printer_Alert");
  EXPECT_EQ(first.Get(1)->name, "severity");
  EXPECT_EQ(first.Get(1)->value, "HARMLESS");
  EXPECT_EQ(EifFilterList().Get(1)->Get(0)->name, "x");
  EXPECT_EQ(EifFilterList().Get(1)->Get(0)->value, "=y");
  ASSERT_EQ(EifFilterCacheList().Count(), 1u);
  // The value runs to the first ";": apostrophes do not protect it here.
  EXPECT_EQ(EifFilterCacheList().Get(0)->Get(0)->value, "'a=b");
  EXPECT_EQ(EifFilterCacheList().Get(0)->Get(1)->name, "sev");
}

TEST_F(EifConfigTest, LongLinesAreReadInPiecesAndBinaryBytesDoNotHarm) {
  std::string longValue(700, 'v');
  std::string content = "Long=" + longValue + "\nNext=1\n";
  content += std::string("Bin\0ary=1\n", 10);
  content += "\x01\xff\xfe=\x80\n\r\nWindows=crlf\r\n";
  std::string output = LoadCapturingOutput(content);
  // Line 1 is 506 characters of value, line 2 the other 194 (not a key line).
  EXPECT_EQ(EifGetValue("Long")->size(), 506u);
  EXPECT_EQ(output,
            "syntax error in configuration file, line 2 ignored\n"
            "syntax error in configuration file, line 4 ignored\n");
  EXPECT_EQ(*EifGetValue("Next"), "1");
  EXPECT_EQ(*EifGetValue("\x01\xff\xfe"), "\x80");
  EXPECT_EQ(*EifGetValue("Windows"), "crlf");
}

TEST_F(EifConfigTest, MissingAndUnreadableFilesGiveTheirResults) {
  Load("ServerLocation=old\n");
  CaptureStderr();
  EXPECT_EQ(EifReadConfig(dir.Path("missing.ini")), EIF_CONFIG_STAT_FAILED);
  EXPECT_EQ(GetCapturedStderr(), "stat failed: No such file or directory\n");
  EXPECT_EQ(EifGetValue("ServerLocation"), nullptr);

  CaptureStdout();
  EXPECT_EQ(EifReadConfig(dir.Path("")), EIF_CONFIG_OPEN_FAILED);  // a directory cannot be read as text
  EXPECT_EQ(GetCapturedStdout(), dir.Path("") + ": Can not fopen\n");

  // With no path the default file is read; where it is missing the lists stay empty.
  Load("ServerLocation=old\n");
  EXPECT_EQ(EifReadConfig(""), EIF_CONFIG_OK);
  if (!std::filesystem::exists(EIF_DEFAULT_CONFIG_PATH)) {
    EXPECT_EQ(EifKeyList().Count(), 0u);
  }
}

TEST(EifListTest, FindAndAnyFollowTheirPredicates) {
  EifList<int> list;
  EXPECT_EQ(list.Any([](int) { return 0; }), 0);  // an empty list
  for (int i = 1; i <= 12; ++i) list.Append(i);
  EXPECT_EQ(list.Count(), 12u);
  EXPECT_EQ(*list.Get(11), 12);
  EXPECT_EQ(list.Get(12), nullptr);
  EXPECT_EQ(*list.FindFirst([](int i) { return i % 5 == 0 ? 1 : 0; }), 5);
  EXPECT_EQ(list.FindFirst([](int) { return 0; }), nullptr);
  EXPECT_EQ(list.Any([](int i) { return i == 7 ? 0 : 1; }), 1);
  EXPECT_EQ(list.Any([](int i) { return i == 3 ? -1 : i == 7 ? 0 : 1; }), 0);  // stopped before 7
  EXPECT_EQ(list.Any([](int) { return 1; }), 0);
}
