#include "eif/event_cache.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <span>
#include <vector>

#include "common/directories.h"
#include "eif/cache_tail_copy.h"
#include "eif/eif_config.h"
#include "eif/event_filter.h"
#include "eif/flush_progress.h"
#include "eif/tec_handle.h"
#include "eif/tec_sender.h"
#include "platform/environment_expansion.h"
#include "platform/file_rename.h"
#include "platform/make_directory.h"
#include "platform/random_access_file.h"

using platform::RandomAccessFile;

namespace {

constexpr std::size_t kCopyBlock = 65536;
constexpr std::int64_t kFlushPauseMs = 60000;

bool flushInProgress = false;
bool flushStopped = false;

// The cache file last seen empty. Only this process writes the cache, so a
// delivery need not look at the file again until an event has been cached.
std::string knownEmptyPath;

std::vector<char> AllocateBuffer(std::size_t size) {
  try {
    return std::vector<char>(size);
  } catch (const std::bad_alloc&) {
    EifExitOnMemoryFailure();
  }
}

void GrowBuffer(std::vector<char>& buffer, std::size_t size) {
  try {
    buffer.resize(size);
  } catch (const std::bad_alloc&) {
    EifExitOnMemoryFailure();
  }
}

// BufEvtPath with its environment references expanded; the expansion of the
// last value is kept, as every delivery asks for it.
const std::string& ExpandedCachePath() {
  static const std::string defaultPath = CACHE_DEFAULT_PATH;
  static std::string expandedValue, expanded;
  const std::string* value = EifGetValue("BufEvtPath");
  if (value == nullptr) return defaultPath;
  if (*value != expandedValue || expanded.empty()) {
    expanded = platform::ExpandEnvironmentStrings(*value, CACHE_MAX_PATH).value_or(*value);
    expandedValue = *value;
  }
  return expanded;
}

bool BufferingIsOff() {
  return EifGetValue("BufferEvents") != nullptr && !EifValueIs("BufferEvents", "yes", "YES");
}

int MakeCacheDirectory(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash == 0) return 0;
  return MakeDirectoryPath(path.substr(0, slash));
}

// Offset just past the last record end before size, 0 when there is none.
int FindLastRecordEnd(const RandomAccessFile& file, std::uint64_t size, std::uint64_t& end) {
  std::vector<char> buffer = AllocateBuffer(kCopyBlock);
  end = 0;
  while (size > 0) {
    std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(size, kCopyBlock));
    std::size_t got = 0;
    if (int error = file.ReadAt(size - length, buffer.data(), length, got); error != 0) return error;
    if (got < length) return EIO;
    for (std::size_t i = length; i > 0; --i) {
      if (buffer[i - 1] == CACHE_RECORD_END) {
        end = size - length + i;
        return 0;
      }
    }
    size -= length;
  }
  return 0;
}

// A write cut short by a crash or a full disk leaves a last record without its
// end byte. It is dropped, so that it is never glued to the next event nor sent.
int DropTornTail(RandomAccessFile& file, std::uint64_t& size) {
  if (size == 0) return 0;
  char last = 0;
  std::size_t got = 0;
  if (int error = file.ReadAt(size - 1, &last, 1, got); error != 0) return error;
  if (got == 1 && last == CACHE_RECORD_END) return 0;
  std::uint64_t end = 0;
  if (int error = FindLastRecordEnd(file, size, end); error != 0) return error;
  if (int error = file.Truncate(end); error != 0) return error;
  size = end;
  return 0;
}

// The offset after the record end that follows the run of end bytes at from,
// searched up to size; size when the rest of the file holds no record end.
// The search goes past the first shrinkSize + 1024 bytes, so that one record
// longer than that costs only itself, not the records behind it.
int FindCut(const RandomAccessFile& file, std::uint64_t from, std::uint64_t size, std::uint64_t& cut) {
  std::vector<char> buffer = AllocateBuffer(kCopyBlock);
  bool inEndRun = true;
  for (std::uint64_t offset = from; offset < size;) {
    std::size_t got = 0;
    std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(size - offset, kCopyBlock));
    if (int error = file.ReadAt(offset, buffer.data(), length, got); error != 0) return error;
    if (got == 0) break;
    for (std::size_t i = 0; i < got; ++i) {
      bool isEnd = buffer[i] == CACHE_RECORD_END;
      if (inEndRun && !isEnd) inEndRun = false;
      else if (!inEndRun && isEnd) {
        cut = offset + i + 1;
        return 0;
      }
    }
    offset += got;
  }
  cut = size;
  return 0;
}

// The file that replaces the cache when its front is removed.
std::string ReplacementPath(const std::string& path) { return path + ".new"; }

// Replaces the cache at path, open as file, by its bytes after from. They are
// copied to a file beside it, flushed and renamed over it, so that a crash at
// any point leaves either the old file or the new one, each whole. The cache
// is closed before the rename: not every system replaces a file still open.
int KeepFrom(const std::string& path, RandomAccessFile& file, std::uint64_t from) {
  const std::string replacement = ReplacementPath(path);
  if (int error = CopyTailTo(file, from, replacement); error != 0) return error;
  file.Close();
  return platform::RenameFile(replacement, path);
}

// Makes room when the file would grow over its limit: a file smaller than the
// shrink amount is emptied; a larger one loses its oldest records, cut at a
// record end at least shrinkSize bytes from its start.
long MakeRoom(const std::string& path, RandomAccessFile& file, std::uint64_t& size, const CacheSettings& settings) {
  if (size < settings.shrinkSize) {
    size = 0;
    return file.Truncate(0);
  }
  if (size <= settings.shrinkSize) return CACHE_CANNOT_SHRINK;
  std::uint64_t cut = 0;
  if (int error = FindCut(file, settings.shrinkSize, size, cut); error != 0) return error;
  if (int error = KeepFrom(path, file, cut); error != 0) return error;
  file.Close();
  if (int error = file.Open(path, RandomAccessFile::Mode::ReadWriteExisting); error != 0) return error;
  return file.Size(size);
}

long AppendRecord(RandomAccessFile& file, std::uint64_t size, std::string_view text) {
  if (int error = file.WriteAt(size, text.data(), text.size()); error != 0) return error;
  if (!text.ends_with(CACHE_RECORD_END)) {
    if (int error = file.WriteAt(size + text.size(), &CACHE_RECORD_END, 1); error != 0) return error;
  }
  return static_cast<long>(text.size());
}

// Reads the next block of the flushed part: up to readBlock bytes of the
// limit bytes at from, cut after the last record end in them. A record longer
// than the block grows the buffer until it fits. The number of bytes taken, 0
// when nothing can be read.
std::uint64_t ReadBlockAt(const RandomAccessFile& file, std::uint64_t from, std::uint64_t limit,
                          std::uint64_t readBlock, std::vector<char>& block) {
  std::size_t want = static_cast<std::size_t>(std::clamp<std::uint64_t>(readBlock, 1, limit));
  for (;;) {
    GrowBuffer(block, want);
    std::size_t got = 0;
    if (file.ReadAt(from, block.data(), want, got) != 0 || got == 0) return 0;
    auto last = std::find(block.rbegin() + static_cast<std::ptrdiff_t>(want - got), block.rend(), CACHE_RECORD_END);
    if (last != block.rend()) return static_cast<std::uint64_t>(block.rend() - last);
    if (got < want || want >= limit) return 0;
    want = static_cast<std::size_t>(std::min<std::uint64_t>(limit, want * 2ull));
  }
}

// The records of the first size bytes of block, each with its end byte; runs
// of end bytes count as one.
std::vector<std::string_view> SplitRecords(const std::vector<char>& block, std::uint64_t size) {
  std::vector<std::string_view> records;
  auto stop = block.begin() + static_cast<std::ptrdiff_t>(size);
  for (auto start = block.begin(); start != stop;) {
    start = std::find_if(start, stop, [](char c) { return c != CACHE_RECORD_END; });
    auto end = std::find(start, stop, CACHE_RECORD_END);
    if (end == stop) break;
    records.emplace_back(&*start, static_cast<std::size_t>(end - start) + 1);
    start = end + 1;
  }
  return records;
}

// Sends the records in order, pausing after every flushRate records when it
// is set, and stops at the first one not delivered. The records passed.
std::size_t SendRecords(TecHandle& handle, std::span<const std::string_view> records, long flushRate,
                        long& counted, long& resent) {
  std::size_t passed = 0;
  while (passed < records.size()) {
    std::size_t run = records.size() - passed;
    if (flushRate != 0) run = std::min<std::size_t>(run, static_cast<std::size_t>(flushRate - counted % flushRate));
    TecRunResult result = TecTrySendRun(handle, records.subspan(passed, run));
    passed += result.passed;
    counted += static_cast<long>(result.passed);
    resent += result.delivered;
    if (result.stopped) {
      flushStopped = true;
      break;
    }
    if (flushRate != 0 && counted % flushRate == 0) handle.clock->Sleep(kFlushPauseMs);
  }
  return passed;
}

class FlushGuard {
 public:
  FlushGuard() { flushInProgress = true; }
  ~FlushGuard() { flushInProgress = false; }
};

}  // namespace

CacheSettings ReadCacheSettings() {
  CacheSettings settings;
  settings.path = ExpandedCachePath();
  settings.maxSize = static_cast<std::uint64_t>(EifGetNumber("BufEvtMaxSize", 64)) * 1024;
  settings.shrinkSize = static_cast<std::uint64_t>(EifGetNumber("BufEvtShrinkSize", 8)) * 1024;
  settings.readBlock = static_cast<std::uint64_t>(EifGetNumber("BufEvtRdBlkLen", 65536));
  settings.flushRate = EifGetNumber("BufferFlushRate", 0);
  return settings;
}

long CacheEvent(std::string_view text) {
  if (BufferingIsOff()) return CACHE_BUFFERING_OFF;
  CacheSettings settings = ReadCacheSettings();
  if (EventIsFiltered(text, EifFilterCacheList()) != 0) return 0;
  knownEmptyPath.clear();
  if (int result = MakeCacheDirectory(settings.path); result != 0) return result;
  if (!flushInProgress) {
    if (int error = FlushProgress(settings.path).Settle(); error != 0) return error;
  }
  RandomAccessFile file;
  if (int error = file.Open(settings.path, RandomAccessFile::Mode::ReadWrite); error != 0) return error;
  std::uint64_t size = 0;
  if (int error = file.Size(size); error != 0) return error;
  if (int error = DropTornTail(file, size); error != 0) return error;
  // During a flush the records before the flush's end are about to be removed,
  // and a record cached meanwhile must not be cut away with them: the limit
  // is applied again at the first caching after the flush.
  std::uint64_t appended = text.size() + (text.ends_with(CACHE_RECORD_END) ? 0 : 1);
  if (!flushInProgress && size + appended > settings.maxSize) {
    if (long result = MakeRoom(settings.path, file, size, settings); result != 0) return result;
  }
  return AppendRecord(file, size, text);
}

long FlushCache(TecHandle* handle) {
  flushStopped = false;
  if (handle == nullptr) return 0;
  const std::string& path = ExpandedCachePath();
  if (path == knownEmptyPath) return 0;
  FlushProgress progress(path);
  if (int error = progress.FinishInterruptedRemoval(); error != 0) return error;
  RandomAccessFile file;
  // Every send flushes first: a cache that was never written stays absent.
  if (int error = file.Open(path, RandomAccessFile::Mode::ReadWriteExisting); error != 0) {
    if (error == ENOENT) knownEmptyPath = path;
    return error == ENOENT ? 0 : error;
  }
  std::uint64_t size = 0;
  if (int error = file.Size(size); error != 0) return error;
  if (DropTornTail(file, size) != 0) return 0;
  if (size == 0) {
    knownEmptyPath = path;
    return 0;
  }
  CacheSettings settings = ReadCacheSettings();

  // The flushed part is sent one read block at a time from where an
  // interrupted flush stopped, and the offset after each block sent is
  // recorded, so that a crash sends again at most the block it interrupted.
  // A record that is not delivered ends the flush; it and those behind it
  // stay in their order. The delivered front is removed once, at the end.
  FlushGuard guard;
  long resent = 0;
  long counted = 0;
  std::vector<char> block;
  std::uint64_t sent = progress.RecordedOffset(file, size);
  while (sent < size && !flushStopped) {
    std::uint64_t taken = ReadBlockAt(file, sent, size - sent, settings.readBlock, block);
    if (taken == 0) break;
    const std::vector<std::string_view> records = SplitRecords(block, taken);
    const std::size_t delivered = SendRecords(*handle, records, settings.flushRate, counted, resent);
    // A stop keeps the record not delivered and the end bytes before it.
    std::uint64_t passed = taken;
    if (flushStopped) {
      passed = delivered == 0 ? 0 : static_cast<std::uint64_t>(records[delivered - 1].data() + records[delivered - 1].size() - block.data());
    }
    if (passed == 0) break;
    sent += passed;
    if (progress.Record(sent) != 0) break;
  }
  if (sent > 0) progress.RemoveFront(file, sent);
  return resent;
}

bool CacheFlushInProgress() { return flushInProgress; }
bool CacheFlushStopped() { return flushStopped; }

int TrimCacheFront(const std::string& path, std::uint64_t count) {
  RandomAccessFile file;
  if (int error = file.Open(path, RandomAccessFile::Mode::ReadWriteExisting); error != 0) return error;
  return KeepFrom(path, file, count);
}

int MakeDirectoryPath(const std::string& directory) {
  switch (platform::MakeDirectory(directory)) {
    case platform::MakeDirectoryResult::Created:
    case platform::MakeDirectoryResult::AlreadyExists:
      return 0;
    case platform::MakeDirectoryResult::Failed:
      return -1;
    case platform::MakeDirectoryResult::MissingParent:
      break;
  }
  std::size_t slash = directory.rfind('/');
  if (slash == std::string::npos) return -3;
  if (slash > 0 && common::CreateDirectories(directory.substr(0, slash))) return -2;
  platform::MakeDirectoryResult again = platform::MakeDirectory(directory);
  return again == platform::MakeDirectoryResult::Created || again == platform::MakeDirectoryResult::AlreadyExists
             ? 0
             : -4;
}
