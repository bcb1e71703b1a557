#include "platform/environment.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace platform {
namespace {

TEST(EnvironmentTest, VariablesAreSetReadAndRemoved) {
  const std::string name = "PLATFORM_ENVIRONMENT_TEST";
  ASSERT_TRUE(SetEnvironmentVariable(name, std::nullopt));
  EXPECT_EQ(GetEnvironmentVariable(name), std::nullopt);
  ASSERT_TRUE(SetEnvironmentVariable(name, std::string(1000, 'v')));
  EXPECT_EQ(GetEnvironmentVariable(name), std::string(1000, 'v')) << "longer than a first guess of the size";
  ASSERT_TRUE(SetEnvironmentVariable(name, "value"));
  EXPECT_EQ(GetEnvironmentVariable(name), "value");
  EXPECT_STREQ(std::getenv(name.c_str()), "value") << "the C runtime sees it too";
  ASSERT_TRUE(SetEnvironmentVariable(name, std::nullopt));
  EXPECT_EQ(GetEnvironmentVariable(name), std::nullopt);
  EXPECT_EQ(std::getenv(name.c_str()), nullptr);

  EXPECT_FALSE(SetEnvironmentVariable("", "value"));
  EXPECT_FALSE(SetEnvironmentVariable("A=B", "value"));
}

}  // namespace
}  // namespace platform
