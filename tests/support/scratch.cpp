#include "tests/support/scratch.h"

#include <random>
#include <system_error>

#include "platform/environment.h"

namespace test_support {

std::filesystem::path MakeScratchDirectory(std::string_view prefix) {
  std::random_device random;
  std::error_code error;
  const std::filesystem::path base = std::filesystem::temp_directory_path(error);
  for (;;) {
    std::filesystem::path candidate = base / (std::string(prefix) + "-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate, error)) return candidate;
    if (error) return {};  // the temporary directory is not writable: the test fails on its files
  }
}

ScratchDirectory::ScratchDirectory(std::string_view prefix) : path_(MakeScratchDirectory(prefix)) {}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

ScopedEnvironment::ScopedEnvironment(std::string name, std::optional<std::string> value)
    : name_(std::move(name)), old_(platform::GetEnvironmentVariable(name_)) {
  platform::SetEnvironmentVariable(name_, value);
}

ScopedEnvironment::~ScopedEnvironment() { platform::SetEnvironmentVariable(name_, old_); }

}  // namespace test_support
