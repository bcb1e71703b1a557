#include "profile/profile.h"

#include <unordered_map>

#include "platform/critical_section.h"
#include "platform/file_io.h"
#include "profile/profile_parse.h"

namespace platform {

namespace {

// Whether content, just read from path, is the whole file of that version.
bool IsReadAtVersion(const std::string& path, const std::string& content, const FileVersion& version) {
  return FileVersionOf(path) == version && static_cast<std::int64_t>(content.size()) == version.size;
}

struct CachedProfile {
  FileVersion version;
  std::shared_ptr<const ProfileDocument> document;
};

CriticalSection cacheMutex;
std::unordered_map<std::string, CachedProfile> cache GUARDED_BY(cacheMutex);

}  // namespace

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
  return changed ? nullptr : ParseProfile(*content);
}

std::shared_ptr<const ProfileDocument> LoadProfile(const std::string& path) {
  const std::optional<FileVersion> before = FileVersionOf(path);
  if (!before) return nullptr;
  {
    ScopedLock lock(cacheMutex);
    auto found = cache.find(path);
    if (found != cache.end() && found->second.version == *before) return found->second.document;
  }
  const std::optional<std::string> content = ReadWholeFile(path);
  if (!content) return nullptr;
  std::shared_ptr<const ProfileDocument> document = ParseProfile(*content);
  // A file changed while it was read is parsed again at the next call.
  if (IsReadAtVersion(path, *content, *before)) {
    ScopedLock lock(cacheMutex);
    cache[path] = {*before, document};
  }
  return document;
}

}  // namespace platform
