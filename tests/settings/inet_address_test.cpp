#include "settings/inet_address.h"

#include <gtest/gtest.h>

TEST(InetAddress, DottedDecimalPutsTheFirstPartInTheHighByte) {
  EXPECT_EQ(ParseInetAddress("10.0.0.0"), 0x0A000000u);
  EXPECT_EQ(ParseInetAddress("255.0.0.0"), 0xFF000000u);
  EXPECT_EQ(ParseInetAddress("192.168.7.1"), 0xC0A80701u);
  EXPECT_EQ(ParseInetAddress("0.0.0.0"), 0u);
}

TEST(InetAddress, FollowsTheBerkeleyRuleForBasesAndShortForms) {
  EXPECT_EQ(ParseInetAddress("0x0A.0.0.1"), 0x0A000001u);
  EXPECT_EQ(ParseInetAddress("012.0.0.1"), 0x0A000001u);  // octal
  EXPECT_EQ(ParseInetAddress("10.1"), 0x0A000001u);       // last part fills three bytes
  EXPECT_EQ(ParseInetAddress("10.1.258"), 0x0A010102u);   // last part fills two bytes
  EXPECT_EQ(ParseInetAddress("167772161"), 0x0A000001u);  // one part: the whole address
  EXPECT_EQ(ParseInetAddress("0xFFFFFFFE"), 0xFFFFFFFEu);
  EXPECT_EQ(ParseInetAddress("1.2.3.4 trailing"), 0x01020304u);  // a blank ends the address
}

TEST(InetAddress, TextThatDoesNotParseIsAllOnes) {
  for (const char* bad :
       {"", "abc", "10.0.0.x", "1.2.3.4.5", "256.0.0.0", "1.2.3.256", "1.2.65536", "1.16777216", "4294967296",
        "08.0.0.0", "0x", "1..2", "1.2.3.", ".1.2.3", "-1.0.0.0", " 1.2.3.4", "99999999999999999999999"}) {
    EXPECT_EQ(ParseInetAddress(bad), INVALID_INET_ADDRESS) << bad;
  }
}
