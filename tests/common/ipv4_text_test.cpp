#include "common/ipv4_text.h"

#include <gtest/gtest.h>

#include "common/byte_order.h"

namespace common {
namespace {

TEST(Ipv4Text, DottedDecimalPutsTheFirstPartInTheHighByte) {
  EXPECT_EQ(ParseIPv4HostOrder("10.0.0.0"), 0x0A000000u);
  EXPECT_EQ(ParseIPv4HostOrder("255.0.0.0"), 0xFF000000u);
  EXPECT_EQ(ParseIPv4HostOrder("192.168.7.1"), 0xC0A80701u);
  EXPECT_EQ(ParseIPv4HostOrder("0.0.0.0"), 0u);
  EXPECT_EQ(ParseIPv4HostOrder("255.255.255.255"), kNoIPv4Address) << "a real address, not a failure";
}

TEST(Ipv4Text, FollowsTheBerkeleyRuleForBasesAndShortForms) {
  EXPECT_EQ(ParseIPv4HostOrder("0x0A.0.0.1"), 0x0A000001u);
  EXPECT_EQ(ParseIPv4HostOrder("012.0.0.1"), 0x0A000001u);  // octal
  EXPECT_EQ(ParseIPv4HostOrder("10.1"), 0x0A000001u);       // last part fills three bytes
  EXPECT_EQ(ParseIPv4HostOrder("10.1.258"), 0x0A010102u);   // last part fills two bytes
  EXPECT_EQ(ParseIPv4HostOrder("167772161"), 0x0A000001u);  // one part: the whole address
  EXPECT_EQ(ParseIPv4HostOrder("0xFFFFFFFE"), 0xFFFFFFFEu);
  EXPECT_EQ(ParseIPv4HostOrder("1.2.3.4 trailing"), 0x01020304u);  // a blank ends the address
  EXPECT_EQ(ParseIPv4HostOrder(std::string_view("1.2.3.4\0x", 9)), 0x01020304u);
}

TEST(Ipv4Text, TextThatDoesNotParseGivesNothing) {
  for (const char* bad :
       {"", "abc", "10.0.0.x", "1.2.3.4.5", "256.0.0.0", "1.2.3.256", "1.2.65536", "1.16777216", "4294967296",
        "08.0.0.0", "0x", "1..2", "1.2.3.", ".1.2.3", "-1.0.0.0", " 1.2.3.4", "99999999999999999999999",
        "printer.example"}) {
    EXPECT_EQ(ParseIPv4HostOrder(bad), std::nullopt) << bad;
    EXPECT_EQ(ParseIPv4NetworkOrder(bad), std::nullopt) << bad;
  }
}

TEST(Ipv4Text, NetworkOrderPutsTheFirstPartFirstInMemory) {
  const std::uint32_t loopback = HostToNetwork32(0x7F000001);
  EXPECT_EQ(ParseIPv4NetworkOrder("127.0.0.1"), loopback);
  EXPECT_EQ(ParseIPv4NetworkOrder("127.1"), loopback);
  EXPECT_EQ(ParseIPv4NetworkOrder("0x7f.0.0.01"), loopback);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&loopback);
  EXPECT_EQ(bytes[0], 127);
  EXPECT_EQ(bytes[3], 1);
  EXPECT_EQ(LoadBigEndian32(bytes), 0x7F000001u);
  EXPECT_EQ(FormatIPv4NetworkOrder(loopback), "127.0.0.1");
  EXPECT_EQ(FormatIPv4HostOrder(0xC0A80701), "192.168.7.1");
}

TEST(Ipv4Text, TheDottedQuadIsFourDecimalsAndNothingElse) {
  EXPECT_EQ(ParseDottedQuadHostOrder("127.0.0.1"), 0x7F000001u);
  EXPECT_EQ(ParseDottedQuadHostOrder("255.255.255.255"), 0xFFFFFFFFu);
  EXPECT_TRUE(IsDottedQuad("010.0.0.1")) << "leading zeros are decimal here";
  EXPECT_EQ(ParseDottedQuadHostOrder("010.0.0.1"), 0x0A000001u);
  for (const char* bad : {"127.0.0", "127.0.0.256", "127.0.0.1.1", "127..0.1", "127.0.0.x", "127. 0.0.1", "",
                          "0x7f.0.0.1", "127.1", "0127.0.0.1"}) {
    EXPECT_FALSE(IsDottedQuad(bad)) << bad;
  }
}

}  // namespace
}  // namespace common
