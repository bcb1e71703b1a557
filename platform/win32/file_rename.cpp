#include "platform/file_rename.h"

#include <cerrno>

#include "platform/file_change_gate.h"
#include "platform/win32/move_replacing.h"

namespace platform {

// MOVEFILE_WRITE_THROUGH flushes the move to the disk before it returns, as
// the flush of the directory does on POSIX systems; the gate is asked for
// that flush after the move, where a crash would stop it there.
int RenameFile(const std::string& from, const std::string& to) {
  if (!FileOperationAllowed(FileOperation::Rename)) return EIO;
  if (const int error = MoveReplacing(from, to); error != 0) return error;
  return FileOperationAllowed(FileOperation::Sync) ? 0 : EIO;
}

}  // namespace platform
