#include "platform/profile.h"

#include "common/blank_text.h"

namespace platform {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

const ProfileEntry* ProfileSection::Find(std::string_view key) const {
  key = common::TrimBlanks(key);
  for (const ProfileEntry& entry : entries) {
    if (EqualsIgnoreCase(entry.key, key)) return &entry;
  }
  return nullptr;
}

const ProfileSection* ProfileDocument::Find(std::string_view name) const {
  name = common::TrimBlanks(name);
  for (const ProfileSection& section : sections) {
    if (EqualsIgnoreCase(section.name, name)) return &section;
  }
  return nullptr;
}

}  // namespace platform
