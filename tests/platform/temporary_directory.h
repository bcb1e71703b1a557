#pragma once
// A directory of the test's own below the system's temporary directory,
// removed with all it holds when the object goes.

#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

namespace platform_test {

class TemporaryDirectory {
 public:
  explicit TemporaryDirectory(std::string_view prefix) {
    std::random_device random;
    do {
      path_ = (std::filesystem::temp_directory_path() / (std::string(prefix) + std::to_string(random()))).string();
    } while (!std::filesystem::create_directory(path_));
  }
  ~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

  const std::string& Path() const { return path_; }
  // relative ("a/b.ini") below the directory.
  std::string Path(std::string_view relative) const { return path_ + "/" + std::string(relative); }

 private:
  std::string path_;
};

// The path as the system writes it: with backslashes on Windows.
inline std::string NativePath(const std::string& path) {
  return std::filesystem::path(path).make_preferred().string();
}

}  // namespace platform_test
