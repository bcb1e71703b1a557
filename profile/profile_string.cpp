#include "profile/profile.h"

#include "common/blank_text.h"

namespace platform {

namespace {

std::string Truncated(std::string_view text, std::size_t bufferSize) {
  if (bufferSize == 0) return {};
  return std::string(text.substr(0, bufferSize - 1));
}

std::string_view WithoutTrailingBlanks(std::string_view text) {
  const std::string_view trimmed = common::TrimBlanks(text);
  if (trimmed.empty()) return {};
  return text.substr(0, static_cast<std::size_t>(trimmed.data() + trimmed.size() - text.data()));
}

}  // namespace

// The parsed file, on every system: GetPrivateProfileStringA of Windows takes
// lines that start with ';' as keys and loses names with a NUL byte in them,
// and values read here must agree with the documents that LoadProfile gives.
std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key,
                              std::string_view defaultValue, std::size_t bufferSize) {
  if (auto document = LoadProfile(path)) {
    if (const ProfileSection* found = document->Find(section)) {
      if (const ProfileEntry* entry = found->Find(key)) return Truncated(entry->value, bufferSize);
    }
  }
  return Truncated(WithoutTrailingBlanks(defaultValue), bufferSize);
}

}  // namespace platform
