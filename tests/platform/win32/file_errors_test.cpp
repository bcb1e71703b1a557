// How a refusal of Windows reaches the callers: as the errno value and file
// error that the message to the user is made from.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "platform/file_io.h"
#include "platform/random_access_file.h"
#include "tests/support/scratch.h"

#include <windows.h>

namespace platform {
namespace {

class FileErrorsTest : public ::testing::Test {
 protected:
  test_support::ScratchDirectory scratch_{"file_errors"};
  std::string path_ = scratch_ / "settings.ini";
};

TEST_F(FileErrorsTest, AFileThatAnotherHolderSharesWithNoOneIsASharingViolation) {
  ASSERT_TRUE(WriteFileAtomically(path_, "held").ok());
  HANDLE holder = CreateFileA(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  RandomAccessFile file;
  const int error = file.Open(path_, RandomAccessFile::Mode::ReadWrite);
  EXPECT_EQ(error, EBUSY);
  EXPECT_EQ(ClassifyFileError(error), FileError::SharingViolation);
  EXPECT_FALSE(ReadWholeFile(path_).has_value());
  CloseHandle(holder);
  EXPECT_EQ(ReadWholeFile(path_), "held");
}

}  // namespace
}  // namespace platform
