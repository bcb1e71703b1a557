#pragma once
// Creating a directory together with its missing parents.

#include <string>
#include <system_error>

namespace common {

// Creates the directory and every missing directory above it. No error when it
// exists as a directory afterwards; else the error of the step that failed (on
// POSIX systems an errno value), invalid_argument for an empty path.
std::error_code CreateDirectories(const std::string& path);

}  // namespace common
