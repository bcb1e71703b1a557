#pragma once
// What tests on every system need around them: a fresh directory of their
// own, and environment variables set for a scope.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace test_support {

// A new, empty directory under the system's temporary directory, named
// prefix and a random suffix; removed with everything in it at the end.
class ScratchDirectory {
 public:
  explicit ScratchDirectory(std::string_view prefix = "korevnts-test");
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string operator/(std::string_view name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// A new directory that the caller removes: for fixtures that keep a path.
std::filesystem::path MakeScratchDirectory(std::string_view prefix);

// Sets an environment variable (or removes it, for nothing as the value) for
// the life of the object, then restores what it was.
class ScopedEnvironment {
 public:
  ScopedEnvironment(std::string name, std::optional<std::string> value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

}  // namespace test_support
