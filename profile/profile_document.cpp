#include "profile/profile.h"

#include "common/blank_text.h"

namespace platform {

const ProfileEntry* ProfileSection::Find(std::string_view key) const {
  key = common::TrimBlanks(key);
  for (const ProfileEntry& entry : entries) {
    if (common::EqualsIgnoreCase(entry.key, key)) return &entry;
  }
  return nullptr;
}

const ProfileSection* ProfileDocument::Find(std::string_view name) const {
  name = common::TrimBlanks(name);
  for (const ProfileSection& section : sections) {
    if (common::EqualsIgnoreCase(section.name, name)) return &section;
  }
  return nullptr;
}

}  // namespace platform
