#include "common/list_text.h"

#include <gtest/gtest.h>

#include "common/yes_no_text.h"

namespace common {
namespace {

TEST(ListText, PiecesAreTrimmedAndEmptyOnesKept) {
  EXPECT_EQ(SplitList(" a ;b;; c ", ';'), (std::vector<std::string_view>{"a", "b", "", "c"}));
  EXPECT_EQ(SplitList("", ','), (std::vector<std::string_view>{""}));
  EXPECT_EQ(SplitList("\ta,\r\n", ','), (std::vector<std::string_view>{"a", ""}));
}

TEST(ListText, FlagsAreYesOrNoInAnyCase) {
  EXPECT_EQ(ParseYesNo("yes"), true);
  EXPECT_EQ(ParseYesNo("NO"), false);
  EXPECT_EQ(ParseYesNo("YeS"), true);
  for (const char* bad : {"1", "", "yes ", "y", "nope"}) EXPECT_EQ(ParseYesNo(bad), std::nullopt) << bad;
}

}  // namespace
}  // namespace common
