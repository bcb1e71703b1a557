#include "korbce/fleet/fleet_values.h"

#include <gtest/gtest.h>

namespace korbce {
namespace {

TEST(FleetValuesTest, MacAddressesAndHexBytes) {
  const auto mac = ParseMacAddress("0020004a1B0C");
  ASSERT_TRUE(mac);
  EXPECT_EQ(*mac, (std::array<std::uint8_t, 6>{0x00, 0x20, 0x00, 0x4A, 0x1B, 0x0C}));
  EXPECT_EQ(ParseMacAddress("0020004A1B0"), std::nullopt);
  EXPECT_EQ(ParseMacAddress("00:20:00:4A:1B:0C"), std::nullopt);
  EXPECT_EQ(ParseMacAddress("0020004A1B0G"), std::nullopt);

  EXPECT_EQ(ParseHexBytes("0A10ff"), (std::vector<std::uint8_t>{0x0A, 0x10, 0xFF}));
  EXPECT_EQ(ParseHexBytes(""), std::vector<std::uint8_t>{});
  EXPECT_EQ(ParseHexBytes("ABC"), std::nullopt);
}

}  // namespace
}  // namespace korbce
