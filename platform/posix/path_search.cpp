#include "platform/path_search.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/root.h"

namespace platform {

namespace {

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string CurrentDirectory() {
  char buffer[PATH_MAX];
  return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

std::string Join(const std::string& directory, std::string_view name) {
  if (directory.empty()) return std::string(name);
  return directory.back() == '/' ? directory + std::string(name) : directory + "/" + std::string(name);
}

std::vector<std::string> SearchDirectories() {
  std::vector<std::string> directories{ProgramDirectory(), CurrentDirectory(), SystemDirectory(),
                                       WindowsDirectory()};
  if (const char* path = std::getenv("PATH")) {
    std::string_view rest(path);
    while (!rest.empty()) {
      const std::size_t colon = rest.find(':');
      const std::string_view entry = rest.substr(0, colon);
      if (!entry.empty()) directories.emplace_back(entry);
      if (colon == std::string_view::npos) break;
      rest.remove_prefix(colon + 1);
    }
  }
  return directories;
}

std::string Absolute(const std::string& path) {
  if (!path.empty() && path.front() == '/') return path;
  return Join(CurrentDirectory(), path);
}

}  // namespace

std::string ProgramPath() {
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
}

std::string ProgramDirectory() {
  const std::string program = ProgramPath();
  const std::size_t slash = program.rfind('/');
  return slash == std::string::npos ? std::string() : program.substr(0, slash == 0 ? 1 : slash);
}

std::optional<std::string> SearchPath(std::string_view fileName, std::size_t bufferSize) {
  if (fileName.empty()) return std::nullopt;
  auto fits = [bufferSize](const std::string& path) { return path.size() + 1 <= bufferSize; };
  if (fileName.find('/') != std::string_view::npos) {
    const std::string path = Absolute(std::string(fileName));
    if (IsRegularFile(path) && fits(path)) return path;
    return std::nullopt;
  }
  for (const std::string& directory : SearchDirectories()) {
    if (directory.empty()) continue;
    const std::string candidate = Absolute(Join(directory, fileName));
    if (IsRegularFile(candidate)) {
      if (!fits(candidate)) return std::nullopt;
      return candidate;
    }
  }
  return std::nullopt;
}

}  // namespace platform
