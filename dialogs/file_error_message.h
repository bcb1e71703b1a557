#pragma once
// The message that tells the user why a file could not be written or read,
// naming the file.

#include <string>
#include <string_view>

#include "platform/file_io.h"

namespace platform {

std::string FileErrorMessage(const FileResult& result, std::string_view path);

// Shows FileErrorMessage in a message box with the application's title.
void ReportFileError(const FileResult& result, std::string_view path);

}  // namespace platform
