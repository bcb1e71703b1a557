// Without KOREVNTS_ROOT the path search reaches the real directories of Windows.
#include "platform/root.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/path_search.h"
#include "tests/support/scratch.h"

#include <windows.h>
// windows.h makes SearchPath a macro for SearchPathA; the one called here is ours.
#undef SearchPath

namespace platform {
namespace {

using test_support::ScopedEnvironment;

std::string Fetched(UINT (*fill)(char*, UINT)) {
  char buffer[MAX_PATH] = {};
  const UINT length = fill(buffer, MAX_PATH);
  return std::string(buffer, length < MAX_PATH ? length : 0);
}

TEST(SystemDirectoriesTest, AreTheRealOnesUnlessTheRootMovesThem) {
  ScopedEnvironment root("KOREVNTS_ROOT", std::nullopt);
  const std::string system = Fetched(GetSystemDirectoryA);
  const std::string windows = Fetched(GetWindowsDirectoryA);
  ASSERT_FALSE(system.empty());
  EXPECT_EQ(SystemDirectory(), system);
  EXPECT_EQ(WindowsDirectory(), windows);
  EXPECT_EQ(SearchPath("kernel32.dll", MAX_PATH), system + "\\kernel32.dll");
  EXPECT_EQ(SearchPath("kernel32.dll", system.size() + 14), system + "\\kernel32.dll") << "just fits";
  EXPECT_FALSE(SearchPath("kernel32.dll", system.size() + 13).has_value());
  {
    ScopedEnvironment moved("KOREVNTS_ROOT", "C:\\root");
    EXPECT_EQ(SystemDirectory(), "C:\\root/etc/korevnts");
    EXPECT_EQ(WindowsDirectory(), "C:\\root/etc");
  }
  ScopedEnvironment empty("KOREVNTS_ROOT", "");
  EXPECT_EQ(SystemDirectory(), system) << "an empty root is no root";
}

}  // namespace
}  // namespace platform
