#include "platform/random_access_file.h"
#include "platform/posix/unique_fd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_change_gate.h"

namespace platform {

int RandomAccessFile::Open(const std::string& path, Mode mode) {
  if (!FileOperationAllowed(FileOperation::Open)) return EIO;
  int flags = O_CLOEXEC;
  if (mode == Mode::ReadWrite) flags |= O_RDWR | O_CREAT;
  if (mode == Mode::ReadWriteExisting) flags |= O_RDWR;
  if (mode == Mode::Truncate) flags |= O_WRONLY | O_CREAT | O_TRUNC;
  int fd;
  do {
    fd = ::open(path.c_str(), flags, 0644);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return errno;
  Close();
  handle_ = fd;
  return 0;
}

void RandomAccessFile::Close() {
  if (handle_ != kNoHandle) ::close(FdOf(handle_));
  handle_ = kNoHandle;
}

int RandomAccessFile::Size(std::uint64_t& size) const {
  if (!FileOperationAllowed(FileOperation::Read)) return EIO;
  struct stat status {};
  if (::fstat(FdOf(handle_), &status) != 0) return errno;
  size = static_cast<std::uint64_t>(status.st_size);
  return 0;
}

int RandomAccessFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t length,
                             std::size_t& bytesRead) const {
  bytesRead = 0;
  if (!FileOperationAllowed(FileOperation::Read)) return EIO;
  char* next = static_cast<char*>(buffer);
  while (bytesRead < length) {
    ssize_t got = ::pread(FdOf(handle_), next + bytesRead, length - bytesRead, static_cast<off_t>(offset + bytesRead));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return errno;
    if (got == 0) break;
    bytesRead += static_cast<std::size_t>(got);
  }
  return 0;
}

int RandomAccessFile::WriteAt(std::uint64_t offset, const void* data, std::size_t length) {
  if (!FileOperationAllowed(FileOperation::Write)) return EIO;
  const char* next = static_cast<const char*>(data);
  std::size_t written = 0;
  while (written < length) {
    ssize_t put = ::pwrite(FdOf(handle_), next + written, length - written, static_cast<off_t>(offset + written));
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return errno;
    if (put == 0) return EIO;
    written += static_cast<std::size_t>(put);
  }
  return 0;
}

int RandomAccessFile::Truncate(std::uint64_t size) {
  if (!FileOperationAllowed(FileOperation::Truncate)) return EIO;
  int result;
  do {
    result = ::ftruncate(FdOf(handle_), static_cast<off_t>(size));
  } while (result != 0 && errno == EINTR);
  return result == 0 ? 0 : errno;
}

int RandomAccessFile::Sync() {
  if (!FileOperationAllowed(FileOperation::Sync)) return EIO;
  return ::fsync(FdOf(handle_)) == 0 ? 0 : errno;
}

int GetFileSize(const std::string& path, std::uint64_t& size) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return errno;
  size = static_cast<std::uint64_t>(status.st_size);
  return 0;
}

std::string SystemErrorText(int systemError) {
  char text[256] = {};
  return ::strerror_r(systemError, text, sizeof text);
}

}  // namespace platform
