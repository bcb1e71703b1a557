#include "platform/file_append.h"

#include <windows.h>

#include "platform/win32/error_number.h"
#include "platform/win32/unique_handle.h"

namespace platform {
namespace {

FileResult Failure(int systemError) { return FileResult{ClassifyFileError(systemError), systemError}; }

constexpr DWORD kMaxChunk = 1u << 30;

}  // namespace

// A handle with append access and no write access puts every write at the
// end of the file, whoever else appends at the same time.
FileResult AppendToFile(const std::string& path, std::string_view text) {
  UniqueHandle file(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return Failure(PathErrorNumberOf(GetLastError(), path));
  while (!text.empty()) {
    DWORD written = 0;
    const DWORD chunk = text.size() < kMaxChunk ? static_cast<DWORD>(text.size()) : kMaxChunk;
    if (!WriteFile(file.Get(), text.data(), chunk, &written, nullptr)) return Failure(ErrorNumberOf(GetLastError()));
    if (written == 0) return Failure(EIO);
    text.remove_prefix(written);
  }
  return FileResult{};
}

}  // namespace platform
