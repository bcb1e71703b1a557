#include "platform/file_io.h"

#include <cerrno>

namespace platform {

FileError ClassifyFileError(int systemError) {
  switch (systemError) {
    case 0:
      return FileError::None;
    case EACCES:
    case EPERM:
    case EROFS:
      return FileError::AccessDenied;
    case EBUSY:
    case ETXTBSY:
    case EAGAIN:
      return FileError::SharingViolation;
    case ENOSPC:
#ifdef EDQUOT  // disk quotas are a POSIX extension that the Windows C runtime lacks
    case EDQUOT:
#endif
    case EFBIG:
      return FileError::DiskFull;
    case ENOENT:
    case ENOTDIR:
      return FileError::NotFound;
    default:
      return FileError::Other;
  }
}

}  // namespace platform
