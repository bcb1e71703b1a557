#include "platform/random_access_file.h"

#include <windows.h>

#include <cerrno>
#include <cstring>

#include "platform/file_change_gate.h"
#include "platform/win32/error_number.h"

namespace platform {

namespace {

constexpr DWORD kMaxChunk = 1u << 30;

HANDLE HandleOf(NativeHandle handle) { return reinterpret_cast<HANDLE>(handle); }

int LastErrorNumber() { return ErrorNumberOf(GetLastError()); }

DWORD ChunkOf(std::size_t length) { return length < kMaxChunk ? static_cast<DWORD>(length) : kMaxChunk; }

OVERLAPPED At(std::uint64_t offset) {
  OVERLAPPED position{};
  position.Offset = static_cast<DWORD>(offset);
  position.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return position;
}

struct OpenFlags {
  DWORD access;
  DWORD disposition;
};

OpenFlags FlagsOf(RandomAccessFile::Mode mode) {
  switch (mode) {
    case RandomAccessFile::Mode::ReadWrite:
      return {GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS};
    case RandomAccessFile::Mode::ReadWriteExisting:
      return {GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING};
    case RandomAccessFile::Mode::Truncate:
      return {GENERIC_WRITE, CREATE_ALWAYS};
    case RandomAccessFile::Mode::ReadOnly:
      break;
  }
  return {GENERIC_READ, OPEN_EXISTING};
}

}  // namespace

// Others may read, write, rename and delete the file while it is open, as
// they may on POSIX systems.
int RandomAccessFile::Open(const std::string& path, Mode mode) {
  if (!FileOperationAllowed(FileOperation::Open)) return EIO;
  const OpenFlags flags = FlagsOf(mode);
  HANDLE file = CreateFileA(path.c_str(), flags.access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, flags.disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return PathErrorNumberOf(GetLastError(), path);
  Close();
  handle_ = reinterpret_cast<NativeHandle>(file);
  return 0;
}

void RandomAccessFile::Close() {
  if (handle_ != kNoHandle) CloseHandle(HandleOf(handle_));
  handle_ = kNoHandle;
}

int RandomAccessFile::Size(std::uint64_t& size) const {
  if (!FileOperationAllowed(FileOperation::Read)) return EIO;
  LARGE_INTEGER length{};
  if (!GetFileSizeEx(HandleOf(handle_), &length)) return LastErrorNumber();
  size = static_cast<std::uint64_t>(length.QuadPart);
  return 0;
}

int RandomAccessFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t length,
                             std::size_t& bytesRead) const {
  bytesRead = 0;
  if (!FileOperationAllowed(FileOperation::Read)) return EIO;
  char* next = static_cast<char*>(buffer);
  while (bytesRead < length) {
    OVERLAPPED position = At(offset + bytesRead);
    DWORD got = 0;
    if (!ReadFile(HandleOf(handle_), next + bytesRead, ChunkOf(length - bytesRead), &got, &position)) {
      if (GetLastError() == ERROR_HANDLE_EOF) break;
      return LastErrorNumber();
    }
    if (got == 0) break;
    bytesRead += got;
  }
  return 0;
}

int RandomAccessFile::WriteAt(std::uint64_t offset, const void* data, std::size_t length) {
  if (!FileOperationAllowed(FileOperation::Write)) return EIO;
  const char* next = static_cast<const char*>(data);
  std::size_t written = 0;
  while (written < length) {
    OVERLAPPED position = At(offset + written);
    DWORD put = 0;
    if (!WriteFile(HandleOf(handle_), next + written, ChunkOf(length - written), &put, &position)) {
      return LastErrorNumber();
    }
    if (put == 0) return EIO;
    written += put;
  }
  return 0;
}

int RandomAccessFile::Truncate(std::uint64_t size) {
  if (!FileOperationAllowed(FileOperation::Truncate)) return EIO;
  FILE_END_OF_FILE_INFO end{};
  end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
  if (!SetFileInformationByHandle(HandleOf(handle_), FileEndOfFileInfo, &end, sizeof end)) return LastErrorNumber();
  return 0;
}

int RandomAccessFile::Sync() {
  if (!FileOperationAllowed(FileOperation::Sync)) return EIO;
  return FlushFileBuffers(HandleOf(handle_)) ? 0 : LastErrorNumber();
}

int GetFileSize(const std::string& path, std::uint64_t& size) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return PathErrorNumberOf(GetLastError(), path);
  size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return 0;
}

std::string SystemErrorText(int systemError) {
  char text[256] = {};
  if (strerror_s(text, sizeof text, systemError) != 0) return "Unknown error";
  return text;
}

}  // namespace platform
