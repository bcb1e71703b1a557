#include "platform/path_search.h"

#include <windows.h>
// windows.h makes SearchPath a macro for SearchPathA; the name defined here is our own.
#undef SearchPath

#include <vector>

#include "platform/root.h"
#include "platform/win32/fetch_text.h"

namespace platform {

namespace {

bool IsRegularFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// A name with a directory or a drive in it is no name to search for.
bool HasDirectoryPart(std::string_view fileName) {
  return fileName.find_first_of("/\\:") != std::string_view::npos;
}

std::string CurrentDirectory() {
  return FetchText([](char* buffer, DWORD size) { return GetCurrentDirectoryA(size, buffer); });
}

std::string EnvironmentPath() {
  return FetchText([](char* buffer, DWORD size) { return GetEnvironmentVariableA("PATH", buffer, size); });
}

// The entries of PATH; quotes around an entry are dropped.
void AppendPathEntries(std::string_view path, std::vector<std::string>& directories) {
  while (!path.empty()) {
    const std::size_t semicolon = path.find(';');
    std::string_view entry = path.substr(0, semicolon);
    if (entry.size() >= 2 && entry.front() == '"' && entry.back() == '"') entry = entry.substr(1, entry.size() - 2);
    if (!entry.empty()) directories.emplace_back(entry);
    if (semicolon == std::string_view::npos) break;
    path.remove_prefix(semicolon + 1);
  }
}

std::vector<std::string> SearchDirectories() {
  std::vector<std::string> directories{ProgramDirectory(), CurrentDirectory(), SystemDirectory(),
                                       WindowsDirectory()};
  AppendPathEntries(EnvironmentPath(), directories);
  return directories;
}

std::string FullPath(const std::string& path) {
  return FetchText([&path](char* buffer, DWORD size) { return GetFullPathNameA(path.c_str(), size, buffer, nullptr); });
}

// The full path of fileName in directory, when SearchPathA finds it there.
std::string SearchDirectory(const std::string& directory, const std::string& fileName) {
  return FetchText([&](char* buffer, DWORD size) {
    return SearchPathA(directory.c_str(), fileName.c_str(), nullptr, size, buffer, nullptr);
  });
}

}  // namespace

std::string ProgramPath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::string ProgramDirectory() {
  const std::string program = ProgramPath();
  const std::size_t separator = program.find_last_of("/\\");
  if (separator == std::string::npos) return {};
  // A program at the top of a drive keeps the separator: "C:" alone would be
  // the drive's current directory.
  const bool atDriveTop = separator == 0 || (separator == 2 && program[1] == ':');
  return program.substr(0, atDriveTop ? separator + 1 : separator);
}

// Each directory is searched by SearchPathA on its own, in the order above,
// which is the order of SearchPathA itself without a safe search mode; a
// directory of the name found first is passed by.
std::optional<std::string> SearchPath(std::string_view fileName, std::size_t bufferSize) {
  if (fileName.empty()) return std::nullopt;
  auto fits = [bufferSize](const std::string& path) { return path.size() + 1 <= bufferSize; };
  const std::string name(fileName);
  if (HasDirectoryPart(fileName)) {
    const std::string path = FullPath(name);
    if (!path.empty() && IsRegularFile(path) && fits(path)) return path;
    return std::nullopt;
  }
  for (const std::string& directory : SearchDirectories()) {
    if (directory.empty()) continue;
    const std::string candidate = SearchDirectory(directory, name);
    if (!candidate.empty() && IsRegularFile(candidate)) {
      if (!fits(candidate)) return std::nullopt;
      return candidate;
    }
  }
  return std::nullopt;
}

}  // namespace platform
