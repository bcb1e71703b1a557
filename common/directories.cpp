#include "common/directories.h"

#include <filesystem>

namespace common {

std::error_code CreateDirectories(const std::string& path) {
  if (path.empty()) return std::make_error_code(std::errc::invalid_argument);
  std::error_code error;
  std::filesystem::create_directories(path, error);
  if (error) return error;
  // A file of that name is no directory: create_directories does not always
  // say so.
  if (!std::filesystem::is_directory(path, error) && !error) error = std::make_error_code(std::errc::not_a_directory);
  return error;
}

}  // namespace common
