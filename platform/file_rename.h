#pragma once
// Renaming a file over another one, durably.

#include <string>

namespace platform {

// Renames from to to, replacing to at once (a reader sees the old file or the
// new one, never a mix), then flushes the directory so that the rename
// survives a power loss. 0, or the system error number of the rename; a
// failed directory flush is reported too, once the rename has been done.
int RenameFile(const std::string& from, const std::string& to);

}  // namespace platform
