#include "service/cached_event_count.h"

#include <algorithm>
#include <vector>

#include "eif/event_cache.h"
#include "platform/random_access_file.h"

namespace {

constexpr std::size_t kReadBlock = 1 << 16;

}  // namespace

std::uint64_t CachedEventCount::Count() {
  platform::RandomAccessFile file;
  std::uint64_t size = 0;
  if (file.Open(path_, platform::RandomAccessFile::Mode::ReadOnly) != 0 || file.Size(size) != 0) {
    countedSize_ = count_ = 0;
    return 0;
  }
  if (size < countedSize_) countedSize_ = count_ = 0;
  std::vector<char> block(kReadBlock);
  while (countedSize_ < size) {
    std::size_t got = 0;
    const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), size - countedSize_));
    if (file.ReadAt(countedSize_, block.data(), wanted, got) != 0 || got == 0) break;
    count_ += static_cast<std::uint64_t>(std::count(block.begin(), block.begin() + got, CACHE_RECORD_END));
    countedSize_ += got;
  }
  return count_;
}
