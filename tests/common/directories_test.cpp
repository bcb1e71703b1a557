#include "common/directories.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/scratch.h"

using test_support::ScratchDirectory;

namespace common {
namespace {

TEST(Directories, CreateDirectoriesMakesMissingParents) {
  const ScratchDirectory scratch("directories");
  const std::string directory = scratch.Path().string();
  EXPECT_FALSE(CreateDirectories(directory + "/a/b/c"));
  EXPECT_TRUE(std::filesystem::is_directory(directory + "/a/b/c"));
  EXPECT_FALSE(CreateDirectories(directory + "/a/b/c")) << "existing directories are fine";
  std::ofstream(directory + "/file") << "x";
  EXPECT_TRUE(CreateDirectories(directory + "/file")) << "a file is no directory";
  EXPECT_TRUE(CreateDirectories(directory + "/file/sub"));
  EXPECT_EQ(CreateDirectories(""), std::errc::invalid_argument);
}

}  // namespace
}  // namespace common
