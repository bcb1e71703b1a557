#include "eif/flush_progress.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "eif/cache_tail_copy.h"
#include "eif/event_cache.h"
#include "platform/file_rename.h"

using platform::RandomAccessFile;

namespace {

// The offset in decimal, zero-padded to a fixed width so that every record
// overwrites the last one whole, and a line end.
constexpr std::size_t kOffsetDigits = 20;
constexpr std::size_t kRecordSize = kOffsetDigits + 1;

bool Exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(path, error);
}

int Remove(const std::string& path) {
  std::error_code error;
  std::filesystem::remove(path, error);
  return error.value();
}

bool FollowsRecordEnd(const RandomAccessFile& cache, std::uint64_t offset) {
  char before = 0;
  std::size_t got = 0;
  return cache.ReadAt(offset - 1, &before, 1, got) == 0 && got == 1 && before == CACHE_RECORD_END;
}

}  // namespace

FlushProgress::FlushProgress(const std::string& cachePath)
    : cachePath_(cachePath), progressPath_(cachePath + ".progress"), shortenedPath_(cachePath + ".shortened") {}

int FlushProgress::FinishInterruptedRemoval() {
  if (!Exists(shortenedPath_)) return 0;
  // The progress is forgotten only once the shortened copy is whole.
  if (Exists(progressPath_)) return Remove(shortenedPath_);
  return platform::RenameFile(shortenedPath_, cachePath_);
}

std::uint64_t FlushProgress::RecordedOffset(const RandomAccessFile& cache, std::uint64_t size) const {
  RandomAccessFile file;
  if (file.Open(progressPath_, RandomAccessFile::Mode::ReadOnly) != 0) return 0;
  char record[kRecordSize];
  std::size_t got = 0;
  if (file.ReadAt(0, record, kRecordSize, got) != 0 || got != kRecordSize || record[kOffsetDigits] != '\n') return 0;
  std::uint64_t offset = 0;
  auto [end, error] = std::from_chars(record, record + kOffsetDigits, offset);
  if (error != std::errc() || end != record + kOffsetDigits) return 0;
  if (offset == 0 || offset > size || !FollowsRecordEnd(cache, offset)) return 0;
  return offset;
}

int FlushProgress::Record(std::uint64_t offset) {
  if (!progress_.IsOpen()) {
    if (int error = progress_.Open(progressPath_, RandomAccessFile::Mode::ReadWrite); error != 0) return error;
  }
  char record[kRecordSize + 1];
  std::snprintf(record, sizeof record, "%0*llu\n", static_cast<int>(kOffsetDigits),
                static_cast<unsigned long long>(offset));
  return progress_.WriteAt(0, record, kRecordSize);
}

int FlushProgress::RemoveFront(RandomAccessFile& cache, std::uint64_t offset) {
  // A shortened copy found without a recorded offset is taken for whole.
  if (int error = Record(offset); error != 0) return error;
  if (int error = CopyTailTo(cache, offset, shortenedPath_); error != 0) return error;
  if (int error = Forget(); error != 0) return error;
  cache.Close();
  return platform::RenameFile(shortenedPath_, cachePath_);
}

int FlushProgress::Forget() {
  progress_.Close();
  return Remove(progressPath_);
}

int FlushProgress::Settle() {
  if (int error = FinishInterruptedRemoval(); error != 0) return error;
  if (!Exists(progressPath_)) return 0;
  RandomAccessFile cache;
  if (int error = cache.Open(cachePath_, RandomAccessFile::Mode::ReadOnly); error != 0)
    return error == ENOENT ? Forget() : error;
  std::uint64_t size = 0;
  if (int error = cache.Size(size); error != 0) return error;
  std::uint64_t offset = RecordedOffset(cache, size);
  return offset == 0 ? Forget() : RemoveFront(cache, offset);
}
