#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <iterator>

#include "tests/support/scratch.h"

namespace platform {
namespace {

using test_support::ScratchDirectory;

std::ptrdiff_t EntriesIn(const std::string& directory) {
  return std::distance(std::filesystem::directory_iterator(directory), std::filesystem::directory_iterator());
}

TEST(FileIoTest, AtomicWriteReplacesTheFileAndLeavesNoTemporaryBehind) {
  const ScratchDirectory scratch("file_io");
  const std::string directory = scratch.Path().string();
  const std::string path = directory + "/settings.ini";
  ASSERT_TRUE(WriteFileAtomically(path, "first\r\n").ok());
  ASSERT_TRUE(WriteFileAtomically(path, std::string("second\0with nul", 15)).ok());
  EXPECT_EQ(ReadWholeFile(path), std::string("second\0with nul", 15));
  EXPECT_EQ(EntriesIn(directory), 1);
}

TEST(FileIoTest, AFailedWriteSaysWhyAndLeavesWhatWasThere) {
  const ScratchDirectory scratch("file_io");
  const std::string directory = scratch.Path().string();
  const std::string missing = directory + "/no/such/dir/file.ini";
  const FileResult result = WriteFileAtomically(missing, "x");
  EXPECT_EQ(result.error, FileError::NotFound);
  EXPECT_EQ(result.systemError, ENOENT);
  EXPECT_FALSE(ReadWholeFile(missing).has_value());
  EXPECT_EQ(ClassifyFileError(EACCES), FileError::AccessDenied);
  EXPECT_EQ(ClassifyFileError(ENOSPC), FileError::DiskFull);
  EXPECT_EQ(ClassifyFileError(EBUSY), FileError::SharingViolation);
  EXPECT_EQ(ClassifyFileError(EIO), FileError::Other);
  // The rename over a directory fails: the directory stays and no temporary is left.
  const std::string occupied = directory + "/occupied";
  ASSERT_TRUE(std::filesystem::create_directories(occupied + "/inside"));
  EXPECT_EQ(WriteFileAtomically(occupied, "x").error, FileError::Other);
  EXPECT_TRUE(std::filesystem::is_directory(occupied + "/inside"));
  EXPECT_EQ(EntriesIn(directory), 1);
}

}  // namespace
}  // namespace platform
