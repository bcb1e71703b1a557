#include "platform/profile.h"

#include <sys/stat.h>

#include <mutex>
#include <unordered_map>

#include "platform/file_io.h"

namespace platform {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view CutAtNul(std::string_view text) { return text.substr(0, text.find('\0')); }

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// Calls lineHandler(text, lineNumber) for each line; CR LF, LF and CR all end a line.
template <class Handler>
void ForEachLine(std::string_view content, Handler lineHandler) {
  int number = 0;
  std::size_t start = 0;
  while (start < content.size()) {
    // A plain scan: find_first_of searches the set of line ends at every byte.
    std::size_t end = start;
    while (end < content.size() && content[end] != '\n' && content[end] != '\r') ++end;
    lineHandler(content.substr(start, end - start), ++number);
    if (end < content.size() && content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n') ++end;
    start = end + 1;
  }
}

void ParseLine(std::string_view raw, int number, ProfileDocument& document) {
  const std::string_view line = TrimBlanks(raw);
  if (line.empty() || line.front() == ';') return;
  if (line.front() == '[') {
    std::string_view name = line.substr(1);
    name = name.substr(0, name.find(']'));
    document.sections.push_back({std::string(TrimBlanks(CutAtNul(name))), number, {}});
    return;
  }
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos || document.sections.empty()) return;
  const std::string_view key = TrimBlanks(CutAtNul(line.substr(0, equals)));
  if (key.empty()) return;
  const std::string_view value = Unquote(TrimBlanks(line.substr(equals + 1)));
  document.sections.back().entries.push_back({std::string(key), std::string(CutAtNul(value)), number});
}

std::unique_ptr<ProfileDocument> Parse(std::string_view content) {
  auto document = std::make_unique<ProfileDocument>();
  ForEachLine(content, [&](std::string_view line, int number) { ParseLine(line, number, *document); });
  return document;
}

FileVersion VersionOf(const struct stat& info) {
  return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino), info.st_size,
          info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
}

// Whether content, just read from path, is the whole file of that version.
bool IsReadAtVersion(const std::string& path, const std::string& content, const FileVersion& version) {
  return FileVersionOf(path) == version && static_cast<std::int64_t>(content.size()) == version.size;
}

struct CachedProfile {
  FileVersion version;
  std::shared_ptr<const ProfileDocument> document;
};

std::mutex cacheMutex;
std::unordered_map<std::string, CachedProfile> cache;

std::string Truncated(std::string_view text, std::size_t bufferSize) {
  if (bufferSize == 0) return {};
  return std::string(text.substr(0, bufferSize - 1));
}

}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

const ProfileEntry* ProfileSection::Find(std::string_view key) const {
  key = TrimBlanks(key);
  for (const ProfileEntry& entry : entries) {
    if (EqualsIgnoreCase(entry.key, key)) return &entry;
  }
  return nullptr;
}

const ProfileSection* ProfileDocument::Find(std::string_view name) const {
  name = TrimBlanks(name);
  for (const ProfileSection& section : sections) {
    if (EqualsIgnoreCase(section.name, name)) return &section;
  }
  return nullptr;
}

std::optional<FileVersion> FileVersionOf(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return VersionOf(info);
}

std::unique_ptr<const ProfileDocument> ReadProfileVersion(const std::string& path, const FileVersion& expected,
                                                          bool& changed) {
  changed = false;
  const std::optional<std::string> content = ReadWholeFile(path);
  if (!content) {
    const std::optional<FileVersion> now = FileVersionOf(path);
    changed = now && *now != expected;
    return nullptr;
  }
  changed = !IsReadAtVersion(path, *content, expected);
  return changed ? nullptr : Parse(*content);
}

std::shared_ptr<const ProfileDocument> LoadProfile(const std::string& path) {
  const std::optional<FileVersion> before = FileVersionOf(path);
  if (!before) return nullptr;
  {
    std::lock_guard lock(cacheMutex);
    auto found = cache.find(path);
    if (found != cache.end() && found->second.version == *before) return found->second.document;
  }
  const std::optional<std::string> content = ReadWholeFile(path);
  if (!content) return nullptr;
  std::shared_ptr<const ProfileDocument> document = Parse(*content);
  // A file changed while it was read is parsed again at the next call.
  if (IsReadAtVersion(path, *content, *before)) {
    std::lock_guard lock(cacheMutex);
    cache[path] = {*before, document};
  }
  return document;
}

std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key,
                              std::string_view defaultValue, std::size_t bufferSize) {
  if (auto document = LoadProfile(path)) {
    if (const ProfileSection* found = document->Find(section)) {
      if (const ProfileEntry* entry = found->Find(key)) return Truncated(entry->value, bufferSize);
    }
  }
  std::string_view fallback = defaultValue;
  while (!fallback.empty() && IsBlank(fallback.back())) fallback.remove_suffix(1);
  return Truncated(fallback, bufferSize);
}

}  // namespace platform
