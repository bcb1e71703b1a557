#include "common/directories.h"

#include <filesystem>

namespace common {

namespace fs = std::filesystem;

namespace {

// Each directory made is writable by its owner alone, whatever the umask
// leaves to the group and others, as mkdir with mode 0755 makes it. Where the
// file system has no such bits (Windows keeps access lists instead), the
// directory stays as made.
std::error_code MakeOne(const fs::path& directory) {
  std::error_code error;
  if (!fs::create_directory(directory, error) || error) return error;
  std::error_code ignored;
  fs::permissions(directory, fs::perms::group_write | fs::perms::others_write, fs::perm_options::remove, ignored);
  return {};
}

}  // namespace

std::error_code CreateDirectories(const std::string& path) {
  if (path.empty()) return std::make_error_code(std::errc::invalid_argument);
  std::error_code error;
  const fs::path whole(path);
  fs::path partial = whole.root_path();
  for (const fs::path& part : whole.relative_path()) {
    partial /= part;
    if (part.empty() || fs::exists(partial, error)) continue;
    if ((error = MakeOne(partial))) return error;
  }
  // A file of that name is no directory.
  if (!fs::is_directory(path, error) && !error) error = std::make_error_code(std::errc::not_a_directory);
  return error;
}

}  // namespace common
