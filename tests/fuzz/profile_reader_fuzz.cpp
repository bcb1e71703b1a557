// The profile reader over arbitrary file contents: every section and key it
// keeps can be looked up again by its own name, and no name or value carries
// a NUL byte or blanks at its ends.

#include <string>

#include "common/blank_text.h"
#include "fuzz_support.h"
#include "profile/profile.h"

namespace {

bool IsTrimmed(std::string_view text) { return common::TrimBlanks(text) == text; }

void CheckSection(const platform::ProfileDocument& document, const platform::ProfileSection& section) {
  FUZZ_CHECK(section.name.find('\0') == std::string::npos);
  FUZZ_CHECK(IsTrimmed(section.name));
  const platform::ProfileSection* found = document.Find(section.name);
  FUZZ_CHECK(found != nullptr && common::EqualsIgnoreCase(found->name, section.name));
  int line = section.line;
  for (const platform::ProfileEntry& entry : section.entries) {
    FUZZ_CHECK(!entry.key.empty());
    FUZZ_CHECK(entry.key.find('\0') == std::string::npos);
    FUZZ_CHECK(entry.value.find('\0') == std::string::npos);
    FUZZ_CHECK(IsTrimmed(entry.key));
    FUZZ_CHECK(entry.line > line);
    line = entry.line;
    const platform::ProfileEntry* first = section.Find(entry.key);
    FUZZ_CHECK(first != nullptr && first->line <= entry.line);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = WriteScratchFile("profile.ini", std::string_view(reinterpret_cast<const char*>(data), size));
  const auto document = platform::LoadProfile(path);
  FUZZ_CHECK(document != nullptr);
  int line = 0;
  for (const platform::ProfileSection& section : document->sections) {
    FUZZ_CHECK(section.line > line);
    line = section.line;
    CheckSection(*document, section);
  }
  // The string reader agrees with the parsed file and cuts to the buffer.
  if (!document->sections.empty() && !document->sections.front().entries.empty()) {
    const platform::ProfileSection& section = document->sections.front();
    const std::string& key = section.entries.front().key;
    const std::string value = platform::ReadProfileString(path, section.name, key, "default", 8);
    FUZZ_CHECK(value.size() <= 7);
    FUZZ_CHECK(document->Find(section.name)->Find(key)->value.substr(0, 7) == value);
  }
  return 0;
}
