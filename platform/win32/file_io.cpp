#include "platform/file_io.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "platform/win32/error_number.h"
#include "platform/win32/move_replacing.h"
#include "platform/win32/unique_handle.h"

namespace platform {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kMaxChunk = 1u << 30;

FileResult Failure(int systemError) { return {ClassifyFileError(systemError), systemError}; }

bool WriteAll(HANDLE file, std::string_view content) {
  while (!content.empty()) {
    DWORD written = 0;
    const DWORD chunk = content.size() < kMaxChunk ? static_cast<DWORD>(content.size()) : kMaxChunk;
    if (!WriteFile(file, content.data(), chunk, &written, nullptr) || written == 0) return false;
    content.remove_prefix(written);
  }
  return true;
}

// A new file beside path that no one else uses: path.<process>.<counter>.
std::string UniqueTemporaryName(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".%lx.%x", GetCurrentProcessId(), counter.fetch_add(1));
  return path + suffix;
}

HANDLE CreateTemporary(const std::string& path, std::string& temporary) {
  for (;;) {
    temporary = UniqueTemporaryName(path);
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
  UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.IsValid()) return std::nullopt;
  std::string content;
  char buffer[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr)) return std::nullopt;
    if (got == 0) return content;
    content.append(buffer, got);
  }
}

FileResult WriteFileAtomically(const std::string& path, std::string_view content) {
  std::string temporary;
  UniqueHandle file(CreateTemporary(path, temporary));
  if (!file.IsValid()) return Failure(PathErrorNumberOf(GetLastError(), temporary));
  if (!WriteAll(file.Get(), content) || !FlushFileBuffers(file.Get()) || !file.Close()) {
    const int error = ErrorNumberOf(GetLastError());
    file.Close();
    DeleteFileA(temporary.c_str());
    return Failure(error);
  }
  if (const int error = MoveReplacing(temporary, path); error != 0) {
    DeleteFileA(temporary.c_str());
    return Failure(error);
  }
  return {};
}

}  // namespace platform
