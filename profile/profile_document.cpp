#include "profile/profile.h"

namespace platform {

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

}  // namespace platform
