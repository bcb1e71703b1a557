#include "service/adapter_status.h"

void AdapterStatus::SetCachePath(const std::string& path) {
  platform::ScopedLock lock(cacheLock_);
  cache_ = std::make_unique<CachedEventCount>(path);
}

void AdapterStatus::RecordTec(const TecServerState& state) {
  platform::ScopedLock lock(lock_);
  tec_ = state;
  tecRecorded_ = true;
}

std::uint64_t AdapterStatus::CountCached() {
  platform::ScopedLock lock(cacheLock_);
  return cache_ ? cache_->Count() : 0;
}

std::string AdapterStatus::Line() {
  AdapterCounts counts;
  counts.printers = table_.Count();
  counts.printersNotAnswering = table_.CountNotCommunicating();
  counts.eventsCached = CountCached();
  platform::ScopedLock lock(lock_);
  if (!tecRecorded_) return {};
  counts.eventsSent = tec_.eventsDelivered;
  counts.tecServer = tec_.server;
  counts.tecConnected = tec_.connected;
  return StatusLineOf(counts);
}
