#pragma once
// Reading INI ("profile") files by section and key, as the Windows profile
// functions do. Each call sees the file as it is now; the parsed file is kept
// and reused while its device, inode, size and modification time stay the same.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/ascii_text.h"
#include "platform/file_version.h"

namespace platform {

struct ProfileEntry {
  std::string key;    // trimmed, as written
  std::string value;  // trimmed, quotes removed, cut at a NUL byte
  int line = 0;       // 1-based line number in the file
};

struct ProfileSection {
  std::string name;  // trimmed, as written
  int line = 0;
  std::vector<ProfileEntry> entries;  // in file order, duplicates kept

  // The first entry whose key matches without regard to letter case.
  const ProfileEntry* Find(std::string_view key) const;
};

struct ProfileDocument {
  std::vector<ProfileSection> sections;  // in file order, duplicates kept

  // The first section whose name matches without regard to letter case.
  const ProfileSection* Find(std::string_view name) const;
};

// The parsed file, or null when it cannot be read.
std::shared_ptr<const ProfileDocument> LoadProfile(const std::string& path);

// The file read and parsed afresh, and kept in no cache: for a large file of
// which the caller keeps only what it draws from it, and which it reads again
// only when FileVersionOf tells a new version. Null when the file cannot be
// read or is no longer of version expected, also when it changed while it was
// read; changed then says whether it did.
std::unique_ptr<const ProfileDocument> ReadProfileVersion(const std::string& path, const FileVersion& expected,
                                                          bool& changed);

// The value of key in section, cut to bufferSize - 1 characters; the default
// (its trailing blanks removed, also cut) when the file, the section or the key
// is missing. Blanks around the asked names are ignored.
std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key,
                              std::string_view defaultValue, std::size_t bufferSize);

}  // namespace platform
