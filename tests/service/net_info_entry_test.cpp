#include "service/net_info_entry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bce/bce_records.h"
#include "tests/service/fake_engine.h"

namespace {

using fake_engine::MakeNetInfoReply;

TEST(NetInfoEntryTest, ReadsValueAndThreeTexts) {
  auto record = MakeNetInfoReply(1, 0x11223344, std::string("first\0ab\0xyz\0", 13));
  auto entry = ParseNetInfoReply(record.data(), static_cast<std::uint32_t>(record.size()));
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->value, 0x11223344u);
  EXPECT_EQ(entry->firstText, "first");
  EXPECT_EQ(entry->secondText, "ab");
  EXPECT_EQ(entry->thirdText, "xyz");
}

TEST(NetInfoEntryTest, IgnoresNullShortAndUnflaggedRecords) {
  EXPECT_FALSE(ParseNetInfoReply(nullptr, 64));
  auto record = MakeNetInfoReply(1, 5, std::string("abc\0", 4));
  EXPECT_FALSE(ParseNetInfoReply(record.data(), 15));
  EXPECT_TRUE(ParseNetInfoReply(record.data(), 16));
  auto unflagged = MakeNetInfoReply(0, 5, std::string("a\0b\0c\0", 6));
  EXPECT_FALSE(ParseNetInfoReply(unflagged.data(), static_cast<std::uint32_t>(unflagged.size())));
}

TEST(NetInfoEntryTest, TextsNeverReachPastTheRecord) {
  // The second text is cut by the record's end; the third is then empty.
  auto record = MakeNetInfoReply(1, 7, std::string("one\0tw", 6));
  record.push_back('X');  // outside the length handed over
  auto entry = ParseNetInfoReply(record.data(), static_cast<std::uint32_t>(record.size() - 1));
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->firstText, "one");
  EXPECT_EQ(entry->secondText, "tw");
  EXPECT_EQ(entry->thirdText, "");

  auto unterminated = MakeNetInfoReply(1, 7, "abcd");
  entry = ParseNetInfoReply(unterminated.data(), static_cast<std::uint32_t>(unterminated.size()));
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->firstText, "abcd");
  EXPECT_EQ(entry->secondText, "");
}

TEST(NetInfoEntryTest, BlockOfTwoAndThreeCharacterTextsIsSeventeenBytes) {
  NetInfoEntry entry{0xA1B2C3D4, "ignored", "ab", "xyz"};
  std::vector<std::uint8_t> expected = {17, 0, 0, 0, 0xD4, 0xC3, 0xB2, 0xA1, 0, 0, 'x', 'y', 'z', 0, 0, 0, 0};
  EXPECT_EQ(BuildNetInfoBlock(entry), expected);

  NetInfoEntry empty{1, "", "", ""};
  EXPECT_EQ(BuildNetInfoBlock(empty), (std::vector<std::uint8_t>{12, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}));
}

}  // namespace
