#include "platform/random_access_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/file_change_gate.h"
#include "platform/file_io.h"
#include "tests/support/scratch.h"

namespace platform {
namespace {

using Mode = RandomAccessFile::Mode;

// Lets every operation through until the one to refuse comes.
class RefusingGate : public FileChangeGate {
 public:
  explicit RefusingGate(FileOperation refused) : refused_(refused) { SetFileChangeGate(this); }
  ~RefusingGate() override { SetFileChangeGate(nullptr); }
  bool Allow(FileOperation operation) override { return operation != refused_; }

 private:
  FileOperation refused_;
};

class RandomAccessFileTest : public ::testing::Test {
 protected:
  std::string ReadAll(const RandomAccessFile& file, std::uint64_t offset, std::size_t length) {
    std::string text(length, '\0');
    std::size_t got = 0;
    EXPECT_EQ(file.ReadAt(offset, text.data(), length, got), 0);
    text.resize(got);
    return text;
  }

  std::string Path(std::string_view name) const { return scratch_ / name; }

  test_support::ScratchDirectory scratch_{"random_access"};
  std::string path_ = Path("cache.dat");
};

TEST_F(RandomAccessFileTest, OpenModesCreateOnlyWhereTheySayAndTruncateEmpties) {
  RandomAccessFile file;
  EXPECT_EQ(file.Open(path_, Mode::ReadOnly), ENOENT);
  EXPECT_EQ(file.Open(path_, Mode::ReadWriteExisting), ENOENT);
  EXPECT_FALSE(file.IsOpen());
  ASSERT_EQ(file.Open(path_, Mode::ReadWrite), 0) << "created when missing";
  EXPECT_TRUE(file.IsOpen());
  ASSERT_EQ(file.WriteAt(0, "records", 7), 0);
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  ASSERT_EQ(file.Open(path_, Mode::ReadWrite), 0);
  EXPECT_EQ(ReadAll(file, 0, 100), "records") << "opened as it was";
  ASSERT_EQ(file.Open(path_, Mode::ReadOnly), 0) << "a second open replaces the first";
  EXPECT_EQ(ReadAll(file, 0, 100), "records");
  ASSERT_EQ(file.Open(path_, Mode::Truncate), 0);
  std::uint64_t size = 99;
  ASSERT_EQ(file.Size(size), 0);
  EXPECT_EQ(size, 0u);
  file.Close();
  EXPECT_EQ(GetFileSize(path_, size), 0);
  EXPECT_EQ(size, 0u);
}

TEST_F(RandomAccessFileTest, ReadsAndWritesAtOffsetsAndReadsShortOnlyAtTheEnd) {
  RandomAccessFile file;
  ASSERT_EQ(file.Open(path_, Mode::ReadWrite), 0);
  ASSERT_EQ(file.WriteAt(0, "0123456789", 10), 0);
  ASSERT_EQ(file.WriteAt(3, "abc", 3), 0);
  EXPECT_EQ(ReadAll(file, 0, 10), "012abc6789");
  EXPECT_EQ(ReadAll(file, 8, 10), "89") << "fewer bytes at the end";
  EXPECT_EQ(ReadAll(file, 10, 5), "") << "none at the end";
  EXPECT_EQ(ReadAll(file, 1000, 5), "") << "none past it";
  // A write past the end fills the gap with zeros.
  ASSERT_EQ(file.WriteAt(12, "z", 1), 0);
  EXPECT_EQ(ReadAll(file, 9, 10), std::string("9\0\0z", 4));
  // An offset beyond 4 GiB is not taken for its low 32 bits.
  EXPECT_EQ(ReadAll(file, (1ull << 32) + 5, 5), "");
  ASSERT_EQ(file.Truncate(4), 0);
  ASSERT_EQ(file.Sync(), 0);
  std::uint64_t size = 0;
  ASSERT_EQ(file.Size(size), 0);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(ReadAll(file, 0, 100), "012a");
}

TEST_F(RandomAccessFileTest, AReadOfMoreThanABlockGetsEveryByte) {
  std::string content(3 * 65536 + 17, 'x');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>('a' + i % 26);
  ASSERT_TRUE(WriteFileAtomically(path_, content).ok());
  RandomAccessFile file;
  ASSERT_EQ(file.Open(path_, Mode::ReadOnly), 0);
  EXPECT_EQ(ReadAll(file, 0, content.size() + 100), content);
  EXPECT_EQ(ReadAll(file, 100000, 10), content.substr(100000, 10));
}

TEST_F(RandomAccessFileTest, ErrorsAreSystemErrorNumbers) {
  RandomAccessFile file;
  ASSERT_TRUE(WriteFileAtomically(Path("plain"), "file").ok());
  EXPECT_EQ(file.Open(Path("plain/cache.dat"), Mode::ReadWrite), ENOTDIR)
      << "a file where a directory should be";
  EXPECT_EQ(file.Open(Path("missing/cache.dat"), Mode::ReadWrite), ENOENT);
  std::uint64_t size = 0;
  EXPECT_EQ(GetFileSize(Path("absent"), size), ENOENT);
  EXPECT_EQ(SystemErrorText(ENOENT), std::strerror(ENOENT));
  EXPECT_FALSE(SystemErrorText(EACCES).empty());
}

TEST_F(RandomAccessFileTest, AClosedGateStopsEachOperationBeforeItActs) {
  RandomAccessFile file;
  ASSERT_EQ(file.Open(path_, Mode::ReadWrite), 0);
  ASSERT_EQ(file.WriteAt(0, "kept", 4), 0);
  {
    RefusingGate gate(FileOperation::Write);
    EXPECT_EQ(file.WriteAt(0, "lost", 4), EIO);
  }
  {
    RefusingGate gate(FileOperation::Truncate);
    EXPECT_EQ(file.Truncate(0), EIO);
  }
  {
    RefusingGate gate(FileOperation::Read);
    std::size_t got = 1;
    char byte = 0;
    EXPECT_EQ(file.ReadAt(0, &byte, 1, got), EIO);
    EXPECT_EQ(got, 0u);
  }
  {
    RefusingGate gate(FileOperation::Sync);
    EXPECT_EQ(file.Sync(), EIO);
  }
  EXPECT_EQ(ReadAll(file, 0, 10), "kept");
  {
    RefusingGate gate(FileOperation::Open);
    RandomAccessFile other;
    EXPECT_EQ(other.Open(path_, Mode::Truncate), EIO);
  }
  EXPECT_EQ(ReadAll(file, 0, 10), "kept");
}

}  // namespace
}  // namespace platform
