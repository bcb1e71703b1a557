#pragma once
// Counts the events that wait in the cache file by their record ends. The
// file grows at its end and shrinks only when a flush takes records from its
// front: so a file that grew is read from where the last count stopped, and
// one that shrank is read again whole.

#include <cstdint>
#include <string>

class CachedEventCount {
 public:
  explicit CachedEventCount(std::string path) : path_(std::move(path)) {}

  // The records the file holds now; 0 when there is none.
  std::uint64_t Count();

 private:
  std::string path_;
  std::uint64_t countedSize_ = 0;
  std::uint64_t count_ = 0;
};
