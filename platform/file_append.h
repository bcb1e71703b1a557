#pragma once
// Appending to a file, as logs do.

#include <string>
#include <string_view>

#include "platform/file_io.h"

namespace platform {

// Appends text at the end of the file, creating the file (mode 0644) when it
// is missing. The text goes out in one write, so that lines appended by
// several threads or processes never interleave.
FileResult AppendToFile(const std::string& path, std::string_view text);

}  // namespace platform
