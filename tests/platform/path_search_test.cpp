#include "platform/path_search.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "platform/file_io.h"
#include "platform/root.h"

namespace platform {
namespace {

// Sets an environment variable for the life of the object.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
    if (const char* old = getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnvironment() {
    if (old_.empty()) {
      unsetenv(name_);
    } else {
      setenv(name_, old_.c_str(), 1);
    }
  }

 private:
  const char* name_;
  std::string old_;
};

class PathSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/path_search_XXXXXX";
    root_ = mkdtemp(pattern);
  }
  void TearDown() override { ASSERT_EQ(system(("rm -rf " + root_).c_str()), 0); }
  void Touch(const std::string& path) {
    ASSERT_TRUE(CreateDirectories(path.substr(0, path.rfind('/'))));
    ASSERT_TRUE(WriteFileAtomically(path, "x").ok());
  }
  std::string root_;
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
  ScopedEnvironment path("PATH", root_ + "/bin1::" + root_ + "/bin2");
  Touch(root_ + "/bin2/only_in_path.ini");
  EXPECT_EQ(SearchPath("only_in_path.ini", 1000), root_ + "/bin2/only_in_path.ini");
  Touch(root_ + "/etc/both.ini");
  Touch(root_ + "/etc/korevnts/both.ini");
  Touch(root_ + "/bin1/both.ini");
  EXPECT_EQ(SearchPath("both.ini", 1000), root_ + "/etc/korevnts/both.ini");
  EXPECT_FALSE(SearchPath("missing.ini", 1000).has_value());
  EXPECT_FALSE(SearchPath("both.ini", 10).has_value()) << "the full path does not fit the buffer";
  EXPECT_FALSE(SearchPath("", 1000).has_value());
}

TEST_F(PathSearchTest, CurrentDirectoryComesBeforeTheSystemDirectory) {
  ScopedEnvironment root("KOREVNTS_ROOT", root_);
  Touch(root_ + "/cwd/both.ini");
  Touch(root_ + "/etc/korevnts/both.ini");
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir((root_ + "/cwd").c_str()), 0);
  const auto found = SearchPath("both.ini", 1000);
  ASSERT_EQ(chdir(previous), 0);
  EXPECT_EQ(found, root_ + "/cwd/both.ini");
}

TEST_F(PathSearchTest, ProgramDirectoryComesFirstAndPathsWithSlashesStandAsGiven) {
  const std::string program = ProgramPath();
  ASSERT_FALSE(program.empty());
  const std::string name = program.substr(program.rfind('/') + 1);
  EXPECT_EQ(SearchPath(name, 4096), program);
  EXPECT_EQ(ProgramDirectory() + "/" + name, program);
  Touch(root_ + "/direct.ini");
  EXPECT_EQ(SearchPath(root_ + "/direct.ini", 4096), root_ + "/direct.ini");
  EXPECT_FALSE(SearchPath(root_ + "/absent.ini", 4096).has_value());
}

}  // namespace
}  // namespace platform
