#include "fuzz_support.h"

#include <fstream>
#include <random>

namespace {

class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() / ("kor-fuzz-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace

const std::filesystem::path& FuzzScratchDirectory() {
  static const ScratchDirectory directory;
  return directory.Path();
}

std::string WriteScratchFile(const std::string& name, std::string_view content) {
  const std::string path = (FuzzScratchDirectory() / name).string();
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(content.data(), static_cast<std::streamsize>(content.size()));
  return path;
}
