// The printer database we ship: every row reads as the library expects, and
// the rows cover what the demo and the simulated fleet rely on.

#include <gtest/gtest.h>

#include <set>

#include "common/decimal_text.h"
#include "profile/profile.h"
#include "tests/vigilix/temp_database.h"
#include "vigilix/message_catalog.h"
#include "vigilix/printer_database.h"

namespace vigilix {
namespace {

// The key form (1 to 5) of a well-formed key; 0 for any other key.
int KeyForm(const std::string& key) {
  if (key.size() != 8 || key.substr(0, 2) == "..") return 0;
  static const std::pair<const char*, int> kForms[] = {{"xxx", 1}, {"x.x", 2}, {".xx", 3}, {"..x", 4}, {"...", 5}};
  std::string pattern;
  for (std::size_t i = 2; i < 8; i += 2) {
    const bool dots = key[i] == '.' && key[i + 1] == '.';
    const bool hex = std::isxdigit(static_cast<unsigned char>(key[i])) && std::isxdigit(static_cast<unsigned char>(key[i + 1]));
    if (!dots && !hex) return 0;
    pattern += dots ? '.' : 'x';
  }
  for (const auto& [form, number] : kForms)
    if (pattern == form) return number;
  return 0;
}

TEST(ShippedDatabase, RowsCoverEveryCategoryFormLocationKindAndSeverity) {
  const auto database = platform::LoadProfile(ShippedDatabasePath());
  ASSERT_NE(database, nullptr);
  int classSections = 0;
  std::set<int> severities, kinds, changeMasks;
  for (const platform::ProfileSection& section : database->sections) {
    if (section.name == "File Version") continue;
    const bool fallback = section.name == LoadText(kFallbackSectionId);
    classSections += fallback ? 0 : 1;
    std::set<int> forms, groups;
    for (const platform::ProfileEntry& row : section.entries) {
      const int form = KeyForm(row.key);
      ASSERT_NE(form, 0) << section.name << " " << row.key;
      forms.insert(form);
      const int group = std::stoi(row.key.substr(0, 2), nullptr, 16);
      groups.insert(group);
      const int message = common::ReadLeadingInteger(GetField(row.value, 1));
      const int kind = common::ReadLeadingInteger(GetField(row.value, 2));
      if (group == 9) {
        changeMasks.insert(common::ReadLeadingInteger(GetField(row.value, 7)));
        continue;
      }
      EXPECT_FALSE(LoadText(kMessageTextBase + message).empty()) << row.key << "=" << row.value;
      if (form == 1) {
        EXPECT_LT(kind, 0) << "a full key has no location byte: " << row.key;
      }
      kinds.insert(kind < 0 ? -1 : (kind == 1000 || kind == 2000) ? kind : 0);
      severities.insert(common::ReadLeadingInteger(GetField(row.value, 8)));
    }
    EXPECT_EQ(forms, (std::set<int>{1, 2, 3, 4, 5})) << section.name;
    EXPECT_EQ(groups, (std::set<int>{3, 4, 5, 6, 7, 8, 9, 10})) << section.name;
  }
  EXPECT_GE(classSections, 2);
  EXPECT_EQ(kinds, (std::set<int>{-1, 0, 1000, 2000}));
  EXPECT_EQ(severities, (std::set<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(changeMasks, (std::set<int>{1, 2, 64}));
}

}  // namespace
}  // namespace vigilix
