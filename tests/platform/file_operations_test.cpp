// Appending, renaming and making directories.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "common/directories.h"
#include "platform/file_append.h"
#include "platform/file_change_gate.h"
#include "platform/file_io.h"
#include "platform/file_rename.h"
#include "platform/make_directory.h"
#include "tests/support/scratch.h"

namespace platform {
namespace {

class FileOperationsTest : public ::testing::Test {
 protected:
  std::string Path(std::string_view relative) const { return scratch_ / relative; }
  test_support::ScratchDirectory scratch_{"file_operations"};
};

TEST_F(FileOperationsTest, AppendCreatesTheFileAndLinesOfManyThreadsNeverMix) {
  const std::string log = Path("call.log");
  ASSERT_TRUE(AppendToFile(log, "first\n").ok());
  constexpr int kThreads = 4;
  constexpr int kLines = 200;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&log, t] {
      const std::string line = std::string(100, static_cast<char>('a' + t)) + "\n";
      for (int i = 0; i < kLines; ++i) ASSERT_TRUE(AppendToFile(log, line).ok());
    });
  }
  for (std::thread& thread : threads) thread.join();
  const std::optional<std::string> content = ReadWholeFile(log);
  ASSERT_TRUE(content.has_value());
  EXPECT_EQ(content->size(), 6u + kThreads * kLines * 101u);
  EXPECT_EQ(content->substr(0, 6), "first\n");
  for (std::size_t line = 6; line < content->size(); line += 101) {
    ASSERT_EQ(content->substr(line, 101), std::string(100, (*content)[line]) + "\n") << "at byte " << line;
  }
  const FileResult failed = AppendToFile(Path("missing/call.log"), "x");
  EXPECT_EQ(failed.error, FileError::NotFound);
  EXPECT_EQ(failed.systemError, ENOENT);
}

TEST_F(FileOperationsTest, RenameReplacesTheTargetAndSaysWhyItCannot) {
  ASSERT_TRUE(WriteFileAtomically(Path("new"), "new").ok());
  ASSERT_TRUE(WriteFileAtomically(Path("old"), "old").ok());
  EXPECT_EQ(RenameFile(Path("new"), Path("old")), 0);
  EXPECT_EQ(ReadWholeFile(Path("old")), "new");
  EXPECT_FALSE(std::filesystem::exists(Path("new")));
  EXPECT_EQ(RenameFile(Path("new"), Path("old")), ENOENT);
  ASSERT_FALSE(common::CreateDirectories(Path("directory/inside")));
  EXPECT_EQ(RenameFile(Path("old"), Path("directory")), EISDIR);
  EXPECT_EQ(ReadWholeFile(Path("old")), "new") << "a failed rename leaves the file";
}

TEST_F(FileOperationsTest, RenameStopsAtTheGateBeforeOrAfterTheMove) {
  struct Gate : FileChangeGate {
    FileOperation refused;
    bool Allow(FileOperation operation) override { return operation != refused; }
  } gate;
  SetFileChangeGate(&gate);
  ASSERT_TRUE(WriteFileAtomically(Path("from"), "x").ok());
  gate.refused = FileOperation::Rename;
  EXPECT_EQ(RenameFile(Path("from"), Path("to")), EIO);
  EXPECT_TRUE(std::filesystem::exists(Path("from"))) << "refused before the move";
  gate.refused = FileOperation::Sync;
  EXPECT_EQ(RenameFile(Path("from"), Path("to")), EIO);
  EXPECT_TRUE(std::filesystem::exists(Path("to"))) << "refused at the flush, after the move";
  SetFileChangeGate(nullptr);
}

TEST_F(FileOperationsTest, MakeDirectoryTellsAMissingParentFromAFileOnTheWay) {
  EXPECT_EQ(MakeDirectory(Path("a")), MakeDirectoryResult::Created);
  EXPECT_TRUE(std::filesystem::is_directory(Path("a")));
  EXPECT_EQ(MakeDirectory(Path("a")), MakeDirectoryResult::AlreadyExists);
  EXPECT_EQ(MakeDirectory(Path("b/c")), MakeDirectoryResult::MissingParent);
  EXPECT_EQ(MakeDirectory(Path("b/c/d")), MakeDirectoryResult::MissingParent);
  ASSERT_TRUE(WriteFileAtomically(Path("plain"), "file").ok());
  EXPECT_EQ(MakeDirectory(Path("plain")), MakeDirectoryResult::AlreadyExists);
  EXPECT_EQ(MakeDirectory(Path("plain/sub")), MakeDirectoryResult::Failed);
  EXPECT_EQ(MakeDirectory(Path("plain/sub/deeper")), MakeDirectoryResult::Failed);
  EXPECT_EQ(MakeDirectory(""), MakeDirectoryResult::Failed);
}

}  // namespace
}  // namespace platform
