#pragma once
// AdapterStatus: what the status line says, gathered from the threads that
// know it: the printer table, the sender thread's view of the TEC server, and
// the cache file.

#include <memory>
#include <string>

#include "eif/tec_sender.h"
#include "platform/critical_section.h"
#include "service/cached_event_count.h"
#include "service/printer_table.h"
#include "service/status_line.h"

class AdapterStatus {
 public:
  explicit AdapterStatus(const PrinterTable& table) : table_(table) {}

  // The cache file whose records the line counts.
  void SetCachePath(const std::string& path) EXCLUDES(lock_);
  // Called by the sender thread after each event, and once before it starts.
  void RecordTec(const TecServerState& state) EXCLUDES(lock_);

  // Nothing until the TEC sender was first recorded.
  std::string Line() EXCLUDES(lock_);

 private:
  std::uint64_t CountCached() EXCLUDES(cacheLock_);

  const PrinterTable& table_;
  platform::CriticalSection lock_;
  bool tecRecorded_ GUARDED_BY(lock_) = false;
  TecServerState tec_ GUARDED_BY(lock_);
  // A count may read the whole file: the sender never waits for it.
  platform::CriticalSection cacheLock_;
  std::unique_ptr<CachedEventCount> cache_ GUARDED_BY(cacheLock_);
};
