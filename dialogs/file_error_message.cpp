#include "dialogs/file_error_message.h"

#include "dialogs/message_box.h"
#include "dialogs/string_table.h"

namespace platform {

namespace {
std::string_view FileErrorPattern(FileError error) {
  switch (error) {
    case FileError::AccessDenied:
      return "Access to %1 was denied.";
    case FileError::SharingViolation:
      return "A sharing violation occurred while accessing %1.";
    case FileError::DiskFull:
      return "Disk full while accessing %1.";
    case FileError::NotFound:
      return "All or part of the path %1 is not valid.";
    default:
      return "An unexpected error occurred while accessing %1.";
  }
}
}  // namespace

std::string FileErrorMessage(const FileResult& result, std::string_view path) {
  return FormatMessageText(FileErrorPattern(result.error), {path});
}

void ReportFileError(const FileResult& result, std::string_view path) {
  MessageBox(FileErrorMessage(result, path), ApplicationTitle(), MessageBoxButtons::Ok, MessageBoxIcon::Warning);
}

}  // namespace platform
