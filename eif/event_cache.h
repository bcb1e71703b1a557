#pragma once
// The event buffer cache: events that no server took, kept in a file until the
// next successful delivery sends them again.
//
// The file holds the event texts one after the other, each ending with the
// byte CACHE_RECORD_END, oldest first, with nothing else in it.

#include <cstdint>
#include <string>
#include <string_view>

struct TecHandle;

constexpr char CACHE_RECORD_END = '\x01';
constexpr const char* CACHE_DEFAULT_PATH = "cache.dat";
// The expanded cache path may hold this many characters.
constexpr std::size_t CACHE_MAX_PATH = 260;

// Results of CacheEvent besides the stored length and system error numbers.
constexpr long CACHE_BUFFERING_OFF = -1;
constexpr long CACHE_CANNOT_SHRINK = -2;

// The cache keys of the EIF configuration, with their defaults.
struct CacheSettings {
  std::string path;                  // BufEvtPath, environment references expanded
  std::uint64_t maxSize = 65536;     // BufEvtMaxSize kilobytes
  std::uint64_t shrinkSize = 8192;   // BufEvtShrinkSize kilobytes
  std::uint64_t readBlock = 65536;   // BufEvtRdBlkLen bytes
  long flushRate = 0;                // BufferFlushRate events per minute, 0 = no pause
};
CacheSettings ReadCacheSettings();

// Appends the event to the cache file. The text length when stored;
// CACHE_BUFFERING_OFF; 0 when a FilterCache line holds it back;
// CACHE_CANNOT_SHRINK; a MakeDirectoryPath result; or a system error number.
long CacheEvent(std::string_view text);

// Sends the records the file held when the flush began, oldest first, and
// removes them, until one is not delivered: that one and those behind it stay
// as they are, in their order. The number of records delivered, or a system
// error number when the file cannot be opened or sized. A flush cut short by
// a crash goes on where it stopped (eif/flush_progress.h).
long FlushCache(TecHandle* handle);
bool CacheFlushInProgress();
// Whether the last flush stopped at a record that was not delivered, so that
// records still wait in the file.
bool CacheFlushStopped();

// Removes the first count bytes of the file, replacing it by a copy of the
// rest, so that a crash leaves the file either as it was or trimmed. 0, or a
// system error number; the file is left as it was when it cannot be opened
// or copied.
int TrimCacheFront(const std::string& path, std::uint64_t count);

// Creates the directory and, when "/" separates them, its missing parents.
// 0 when it exists afterwards; -1 when creating it failed for another reason
// than a missing parent; -2 when creating a parent failed; -3 when a parent is
// missing and the path holds no "/"; -4 when it failed after its parents were made.
int MakeDirectoryPath(const std::string& directory);
