#pragma once
// Finding a file the way the original's path search did.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Full path of the running program, and the directory that holds it.
std::string ProgramPath();
std::string ProgramDirectory();

// Looks for fileName in the program directory, the current directory, the
// system directory, the Windows directory, then each directory of PATH.
// A name with a "/" is taken as it stands. Returns the full path of the first
// regular file found, or nothing when none is found or the full path with its
// terminator would not fit bufferSize characters.
std::optional<std::string> SearchPath(std::string_view fileName, std::size_t bufferSize);

}  // namespace platform
