#include "platform/file_append.h"

#include <windows.h>

#include "platform/win32/error_number.h"
#include "platform/win32/unique_handle.h"

namespace platform {
namespace {

FileResult Failure(int systemError) { return FileResult{ClassifyFileError(systemError), systemError}; }

constexpr DWORD kMaxChunk = 1u << 30;

// A byte far past any data that appenders lock while they write: with it the
// text goes out whole even where a handle opened for appending does not
// append in one step (Wine's do not).
OVERLAPPED AppendLockByte() {
  OVERLAPPED position{};
  position.OffsetHigh = 0x40000000;
  return position;
}

// Both offsets at their highest mean the end of the file.
OVERLAPPED EndOfFile() {
  OVERLAPPED position{};
  position.Offset = 0xFFFFFFFF;
  position.OffsetHigh = 0xFFFFFFFF;
  return position;
}

int WriteAtEnd(HANDLE file, std::string_view text) {
  while (!text.empty()) {
    OVERLAPPED end = EndOfFile();
    DWORD written = 0;
    const DWORD chunk = text.size() < kMaxChunk ? static_cast<DWORD>(text.size()) : kMaxChunk;
    if (!WriteFile(file, text.data(), chunk, &written, &end)) return ErrorNumberOf(GetLastError());
    if (written == 0) return EIO;
    text.remove_prefix(written);
  }
  return 0;
}

}  // namespace

FileResult AppendToFile(const std::string& path, std::string_view text) {
  UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return Failure(PathErrorNumberOf(GetLastError(), path));
  OVERLAPPED lock = AppendLockByte();
  if (!LockFileEx(file.Get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &lock)) return Failure(ErrorNumberOf(GetLastError()));
  const int error = WriteAtEnd(file.Get(), text);
  lock = AppendLockByte();
  UnlockFileEx(file.Get(), 0, 1, 0, &lock);
  return error == 0 ? FileResult{} : Failure(error);
}

}  // namespace platform
