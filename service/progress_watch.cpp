#include "service/progress_watch.h"

#include <algorithm>

void ProgressWatch::Watch(Progress progress) { watched_.push_back({std::move(progress)}); }

bool ProgressWatch::AllProgressed(std::int64_t nowMs, std::int64_t periodMs) {
  for (Watched& watched : watched_) {
    const std::uint64_t count = watched.progress();
    if (!watched.seen || count != watched.last) watched.changedAtMs = nowMs;
    watched.seen = true;
    watched.last = count;
  }
  return std::all_of(watched_.begin(), watched_.end(),
                     [&](const Watched& watched) { return nowMs - watched.changedAtMs < periodMs; });
}
