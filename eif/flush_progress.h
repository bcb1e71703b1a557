#pragma once
// How far a flush of the cache file has got. The flush sends the file from its
// start one read block at a time and records, in a small file beside the
// cache, the offset up to which the records have been delivered; at its end it
// removes that front of the cache in one copy of what stays. A flush cut short
// by a crash resumes at the recorded offset, so that it sends again at most the
// block it was sending, and the cache file itself only ever holds records.

#include <cstdint>
#include <string>

#include "platform/random_access_file.h"

class FlushProgress {
 public:
  explicit FlushProgress(const std::string& cachePath);

  // Completes a removal of the front that a crash interrupted once its
  // shortened copy was whole, or drops a copy that was not. Called while the
  // cache is closed. 0, or a system error number.
  int FinishInterruptedRemoval();

  // The offset that an interrupted flush recorded for the cache, open as
  // cache with size bytes; 0 when there is none or it does not fall after a
  // record end of the file.
  std::uint64_t RecordedOffset(const platform::RandomAccessFile& cache, std::uint64_t size) const;

  // Records that the records before offset have been delivered. The record is
  // one write of a few bytes, not flushed to the disk: a power loss may lose
  // it, and then only records are sent again.
  int Record(std::uint64_t offset);

  // Replaces the cache, open as cache, by its bytes after offset and forgets
  // the progress. A crash at any point leaves either the cache with offset
  // recorded, or the shortened cache. 0, or a system error number.
  int RemoveFront(platform::RandomAccessFile& cache, std::uint64_t offset);

  // Applies at once what an interrupted flush recorded, removing the front it
  // delivered, so that a caching that cuts the front of the file finds it as
  // it stands; forgets a record that does not fit the file. Called while the
  // cache is closed. 0, or a system error number.
  int Settle();

 private:
  int Forget();

  std::string cachePath_;
  std::string progressPath_;
  std::string shortenedPath_;
  platform::RandomAccessFile progress_;

};
