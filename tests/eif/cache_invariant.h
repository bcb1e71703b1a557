#pragma once
// What the event cache file must hold whatever happened to the process: a
// sequence of whole records, each byte-identical to one that CacheEvent
// appended, in the order they were appended, none missing that may not be.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct CacheInvariantResult {
  std::string failure;               // empty when the file keeps the invariant
  std::vector<std::string> records;  // the whole records of the file, in order
  std::string tornTail;              // bytes after the last record end
  bool ok() const { return failure.empty(); }
};

struct CacheInvariantRules {
  // Whether a record (with its end byte) that is not in the file may be
  // missing: delivered, or dropped by the size limit. Unset: none may.
  std::function<bool(const std::string& record)> mayBeLost;
  // Whether the file may end in the head of a record whose append was cut
  // short; the cache drops it before it next writes or reads.
  bool tornTailAllowed = false;
};

// Checks file, the cache's bytes, against appended, every record handed to
// CacheEvent in order (each ending in its end byte; one that CacheEvent
// stored again, such as a flushed record that failed again, is listed again).
// Each record of the file must match a distinct entry of appended, later than
// the one matched by the record before it.
CacheInvariantResult CheckCacheInvariant(std::string_view file, const std::vector<std::string>& appended,
                                         const CacheInvariantRules& rules = {});
