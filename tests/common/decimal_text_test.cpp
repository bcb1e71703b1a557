#include "common/decimal_text.h"

#include <gtest/gtest.h>

namespace common {
namespace {

TEST(DecimalText, ReadsLeadingNumbers) {
  EXPECT_EQ(ReadLeadingInteger("  -12abc"), -12);
  EXPECT_EQ(ReadLeadingInteger("+7"), 7);
  EXPECT_EQ(ReadLeadingInteger("\t\n42"), 42);
  EXPECT_EQ(ReadLeadingInteger(""), 0);
  EXPECT_EQ(ReadLeadingInteger("x1"), 0);
  EXPECT_EQ(ReadLeadingInteger("+-1"), 0);
  EXPECT_EQ(ReadLeadingInteger("2147483647"), INT32_MAX);
  EXPECT_EQ(ReadLeadingInteger("-2147483648"), INT32_MIN);
  EXPECT_EQ(ReadLeadingInteger("2147483648"), INT32_MAX);
  EXPECT_EQ(ReadLeadingInteger("99999999999999999999"), INT32_MAX);
  EXPECT_EQ(ReadLeadingInteger("-99999999999999999999"), INT32_MIN);
  EXPECT_DOUBLE_EQ(ReadLeadingNumber("1.3"), 1.3);
  EXPECT_DOUBLE_EQ(ReadLeadingNumber(" .5x"), 0.5);
  EXPECT_DOUBLE_EQ(ReadLeadingNumber("-1.5"), -1.5);
  EXPECT_DOUBLE_EQ(ReadLeadingNumber("nan"), 0);
}

TEST(DecimalText, WholeNumbersAreDecimalOrHexadecimalAfter0xAndFitThirtyTwoBits) {
  EXPECT_EQ(ParseNumber("0"), 0u);
  EXPECT_EQ(ParseNumber("4294967295"), 0xFFFFFFFFu);
  EXPECT_EQ(ParseNumber("0x2000002"), 0x2000002u);
  EXPECT_EQ(ParseNumber("0XfF"), 0xFFu);
  EXPECT_EQ(ParseNumber("4294967296"), std::nullopt);
  EXPECT_EQ(ParseNumber("0x100000000"), std::nullopt);
  for (const char* bad : {"", "0x", "-1", "+1", "12a", "0x1g", "1 2", "ff", "0x+1", "0x-1"}) {
    EXPECT_EQ(ParseNumber(bad), std::nullopt) << bad;
  }
  EXPECT_EQ(ParseDecimal("0x10"), std::nullopt);
  EXPECT_EQ(ParseHexadecimal("fF"), 0xFFu);
  EXPECT_EQ(ParseHexadecimal("0x1"), std::nullopt);
}

}  // namespace
}  // namespace common
