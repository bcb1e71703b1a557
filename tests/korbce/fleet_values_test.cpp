#include "korbce/fleet/fleet_values.h"

#include <gtest/gtest.h>

namespace korbce {
namespace {

TEST(FleetValuesTest, NumbersAreDecimalOrHexadecimalAfter0xAndFitThirtyTwoBits) {
  EXPECT_EQ(ParseNumber("0"), 0u);
  EXPECT_EQ(ParseNumber("4294967295"), 0xFFFFFFFFu);
  EXPECT_EQ(ParseNumber("0x2000002"), 0x2000002u);
  EXPECT_EQ(ParseNumber("0XfF"), 0xFFu);
  EXPECT_EQ(ParseNumber("4294967296"), std::nullopt);
  EXPECT_EQ(ParseNumber("0x100000000"), std::nullopt);
  for (const char* bad : {"", "0x", "-1", "+1", "12a", "0x1g", "1 2", "ff"}) {
    EXPECT_EQ(ParseNumber(bad), std::nullopt) << bad;
  }
  EXPECT_EQ(ParseDecimal("0x10"), std::nullopt);
}

TEST(FleetValuesTest, FlagsMacAddressesHexBytesAndDottedAddresses) {
  EXPECT_EQ(ParseYesNo("yes"), true);
  EXPECT_EQ(ParseYesNo("NO"), false);
  EXPECT_EQ(ParseYesNo("1"), std::nullopt);

  const auto mac = ParseMacAddress("0020004a1B0C");
  ASSERT_TRUE(mac);
  EXPECT_EQ(*mac, (std::array<std::uint8_t, 6>{0x00, 0x20, 0x00, 0x4A, 0x1B, 0x0C}));
  EXPECT_EQ(ParseMacAddress("0020004A1B0"), std::nullopt);
  EXPECT_EQ(ParseMacAddress("00:20:00:4A:1B:0C"), std::nullopt);
  EXPECT_EQ(ParseMacAddress("0020004A1B0G"), std::nullopt);

  EXPECT_EQ(ParseHexBytes("0A10ff"), (std::vector<std::uint8_t>{0x0A, 0x10, 0xFF}));
  EXPECT_EQ(ParseHexBytes(""), std::vector<std::uint8_t>{});
  EXPECT_EQ(ParseHexBytes("ABC"), std::nullopt);

  EXPECT_TRUE(IsDottedAddress("127.0.0.1"));
  EXPECT_TRUE(IsDottedAddress("255.255.255.255"));
  for (const char* bad : {"127.0.0", "127.0.0.256", "127.0.0.1.1", "127..0.1", "127.0.0.x", "127. 0.0.1", ""}) {
    EXPECT_FALSE(IsDottedAddress(bad)) << bad;
  }

  EXPECT_EQ(SplitList(" a ;b;; c ", ';'), (std::vector<std::string_view>{"a", "b", "", "c"}));
}

}  // namespace
}  // namespace korbce
