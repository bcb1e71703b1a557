#pragma once
// A copy of the cache file's bytes after an offset, in a new file beside it.

#include <cstdint>
#include <string>

#include "platform/random_access_file.h"

// Writes the bytes of source after from into a new file at target, replacing
// any file there, and flushes it to the disk. 0, or a system error number.
int CopyTailTo(const platform::RandomAccessFile& source, std::uint64_t from, const std::string& target);
