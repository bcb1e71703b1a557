#include "platform/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform {
namespace {

TEST(FileIoTest, AtomicWriteReplacesTheFileAndLeavesNoTemporaryBehind) {
  char pattern[] = "/tmp/file_io_XXXXXX";
  const std::string directory = mkdtemp(pattern);
  const std::string path = directory + "/settings.ini";
  ASSERT_TRUE(WriteFileAtomically(path, "first\r\n").ok());
  ASSERT_TRUE(WriteFileAtomically(path, std::string("second\0with nul", 15)).ok());
  EXPECT_EQ(ReadWholeFile(path), std::string("second\0with nul", 15));
  EXPECT_EQ(system(("test $(ls " + directory + " | wc -l) -eq 1").c_str()), 0);
  ASSERT_EQ(system(("rm -rf " + directory).c_str()), 0);
}

TEST(FileIoTest, AFailedWriteSaysWhyAndLeavesWhatWasThere) {
  char pattern[] = "/tmp/file_io_XXXXXX";
  const std::string directory = mkdtemp(pattern);
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
  ASSERT_TRUE(CreateDirectories(occupied + "/inside"));
  EXPECT_EQ(WriteFileAtomically(occupied, "x").error, FileError::Other);
  EXPECT_EQ(system(("test -d " + occupied + "/inside && test $(ls " + directory + " | wc -l) -eq 1").c_str()), 0);
  ASSERT_EQ(system(("rm -rf " + directory).c_str()), 0);
}

TEST(FileIoTest, CreateDirectoriesMakesMissingParents) {
  char pattern[] = "/tmp/file_io_XXXXXX";
  const std::string directory = mkdtemp(pattern);
  EXPECT_TRUE(CreateDirectories(directory + "/a/b/c"));
  EXPECT_TRUE(CreateDirectories(directory + "/a/b/c")) << "existing directories are fine";
  ASSERT_TRUE(WriteFileAtomically(directory + "/file", "x").ok());
  EXPECT_FALSE(CreateDirectories(directory + "/file/sub"));
  ASSERT_EQ(system(("rm -rf " + directory).c_str()), 0);
}

}  // namespace
}  // namespace platform
