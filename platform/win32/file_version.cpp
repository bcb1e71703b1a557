#include "platform/file_version.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace platform {

namespace {

// FILETIME counts 100-nanosecond steps from 1601; FileVersion counts from 1970.
constexpr std::int64_t kStepsPerSecond = 10'000'000;
constexpr std::int64_t kStepsFrom1601To1970 = 116'444'736'000'000'000;

FileVersion VersionOf(const BY_HANDLE_FILE_INFORMATION& info) {
  const std::int64_t steps =
      static_cast<std::int64_t>((static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                                info.ftLastWriteTime.dwLowDateTime) -
      kStepsFrom1601To1970;
  std::int64_t seconds = steps / kStepsPerSecond;
  std::int64_t remainder = steps % kStepsPerSecond;
  if (remainder < 0) {
    --seconds;
    remainder += kStepsPerSecond;
  }
  return {info.dwVolumeSerialNumber,
          (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
          static_cast<std::int64_t>((static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow),
          seconds, remainder * 100};
}

}  // namespace

// The volume's serial number and the file's index stand for device and inode.
std::optional<FileVersion> FileVersionOf(const std::string& path) {
  UniqueHandle file(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file.IsValid() || !GetFileInformationByHandle(file.Get(), &info)) return std::nullopt;
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return std::nullopt;
  return VersionOf(info);
}

}  // namespace platform
