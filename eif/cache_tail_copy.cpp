#include "eif/cache_tail_copy.h"

#include <vector>

#include "eif/eif_list.h"

using platform::RandomAccessFile;

namespace {

constexpr std::size_t kCopyBlock = 65536;

std::vector<char> CopyBuffer() {
  try {
    return std::vector<char>(kCopyBlock);
  } catch (const std::bad_alloc&) {
    EifExitOnMemoryFailure();
  }
}

}  // namespace

int CopyTailTo(const RandomAccessFile& source, std::uint64_t from, const std::string& target) {
  RandomAccessFile copy;
  if (int error = copy.Open(target, RandomAccessFile::Mode::Truncate); error != 0) return error;
  std::vector<char> buffer = CopyBuffer();
  for (std::uint64_t copied = 0;;) {
    std::size_t got = 0;
    if (int error = source.ReadAt(from + copied, buffer.data(), buffer.size(), got); error != 0) return error;
    if (got == 0) break;
    if (int error = copy.WriteAt(copied, buffer.data(), got); error != 0) return error;
    copied += got;
  }
  return copy.Sync();
}
