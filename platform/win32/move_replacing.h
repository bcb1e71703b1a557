#pragma once
// Moving a file over another one with MoveFileExA, the move written through
// to the disk before it returns.

#include <string>

namespace platform {

// Moves from to to, replacing to. 0, or the system error number of the move
// (EISDIR when to is a directory, as rename(2) has it). A target that another
// program holds open for a moment is tried again for a short while.
int MoveReplacing(const std::string& from, const std::string& to);

}  // namespace platform
