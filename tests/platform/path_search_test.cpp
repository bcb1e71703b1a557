#include "platform/path_search.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "common/directories.h"
#include "platform/file_io.h"
#include "platform/root.h"
#include "tests/support/scratch.h"

namespace platform {
namespace {

using test_support::ScopedEnvironment;

// The separator between the entries of PATH.
constexpr char kPathSeparator = std::filesystem::path::preferred_separator == '\\' ? ';' : ':';

class PathSearchTest : public ::testing::Test {
 protected:
  void Touch(const std::string& path) {
    ASSERT_FALSE(common::CreateDirectories(path.substr(0, path.rfind('/'))));
    ASSERT_TRUE(WriteFileAtomically(path, "x").ok());
  }
  // Where the search finds path: its full path as the system writes it.
  static std::optional<std::string> Found(const std::string& path) {
    return std::filesystem::path(path).make_preferred().string();
  }

  test_support::ScratchDirectory scratch_{"path_search"};
  std::string root_ = scratch_.Path().string();
};

TEST_F(PathSearchTest, RootMovesTheSystemAndWindowsDirectories) {
  ScopedEnvironment root("KOREVNTS_ROOT", root_);
  EXPECT_EQ(SystemDirectory(), root_ + "/etc/korevnts");
  EXPECT_EQ(WindowsDirectory(), root_ + "/etc");
  EXPECT_EQ(RootPath("/var/log/korevnts"), root_ + "/var/log/korevnts");
  ScopedEnvironment empty("KOREVNTS_ROOT", "");
  EXPECT_EQ(RootPath("etc"), "/etc");
}

TEST_F(PathSearchTest, SearchesSystemThenWindowsDirectoryThenPath) {
  ScopedEnvironment root("KOREVNTS_ROOT", root_);
  ScopedEnvironment path("PATH", root_ + "/bin1" + kPathSeparator + kPathSeparator + root_ + "/bin2");
  Touch(root_ + "/bin2/only_in_path.ini");
  EXPECT_EQ(SearchPath("only_in_path.ini", 1000), Found(root_ + "/bin2/only_in_path.ini"));
  Touch(root_ + "/etc/both.ini");
  Touch(root_ + "/etc/korevnts/both.ini");
  Touch(root_ + "/bin1/both.ini");
  EXPECT_EQ(SearchPath("both.ini", 1000), Found(root_ + "/etc/korevnts/both.ini"));
  ASSERT_FALSE(common::CreateDirectories(root_ + "/etc/korevnts/directory.ini"));
  Touch(root_ + "/etc/directory.ini");
  EXPECT_EQ(SearchPath("directory.ini", 1000), Found(root_ + "/etc/directory.ini")) << "a directory is passed by";
  EXPECT_FALSE(SearchPath("missing.ini", 1000).has_value());
  EXPECT_FALSE(SearchPath("both.ini", 10).has_value()) << "the full path does not fit the buffer";
  EXPECT_FALSE(SearchPath("", 1000).has_value());
}

TEST_F(PathSearchTest, CurrentDirectoryComesBeforeTheSystemDirectory) {
  ScopedEnvironment root("KOREVNTS_ROOT", root_);
  Touch(root_ + "/cwd/both.ini");
  Touch(root_ + "/etc/korevnts/both.ini");
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(root_ + "/cwd");
  const auto found = SearchPath("both.ini", 1000);
  const auto relative = SearchPath("../etc/korevnts/both.ini", 1000);
  std::filesystem::current_path(previous);
  EXPECT_EQ(found, Found(root_ + "/cwd/both.ini"));
  ASSERT_TRUE(relative.has_value()) << "a relative path stands from the current directory";
  EXPECT_TRUE(std::filesystem::equivalent(*relative, root_ + "/etc/korevnts/both.ini"));
}

TEST_F(PathSearchTest, ProgramDirectoryComesFirstAndPathsWithSlashesStandAsGiven) {
  const std::string program = ProgramPath();
  ASSERT_FALSE(program.empty());
  const std::string name = std::filesystem::path(program).filename().string();
  EXPECT_EQ(SearchPath(name, 4096), program);
  EXPECT_EQ((std::filesystem::path(ProgramDirectory()) / name).string(), program);
  Touch(root_ + "/direct.ini");
  EXPECT_EQ(SearchPath(root_ + "/direct.ini", 4096), Found(root_ + "/direct.ini"));
  EXPECT_FALSE(SearchPath(root_ + "/absent.ini", 4096).has_value());
}

}  // namespace
}  // namespace platform
