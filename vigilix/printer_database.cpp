#include "vigilix/printer_database.h"

#include <array>

#include "common/decimal_text.h"
#include "profile/profile.h"
#include "vigilix/message_catalog.h"

namespace vigilix {
namespace {

constexpr std::size_t kVersionBufferSize = 10;

// Which byte of the entry a key form leaves open for the location.
enum class LocationOf { None, B, C };

struct KeyForm {
  bool withB;
  bool withC;
  bool withD;
  LocationOf location;
};

constexpr std::array<KeyForm, 5> kKeyForms = {{
    {true, true, true, LocationOf::None},  // gBCD
    {true, false, true, LocationOf::C},    // gB..D
    {false, true, true, LocationOf::B},    // g..CD
    {false, false, true, LocationOf::B},   // g....D
    {false, false, false, LocationOf::B},  // g......
}};

constexpr std::size_t kKeyLength = 8;
using KeyText = std::array<char, kKeyLength>;

// Writes the byte as two upper-case hexadecimal digits, or ".." when open.
void PutHexOrOpen(char* out, bool present, std::uint8_t byte) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out[0] = present ? kDigits[byte >> 4] : '.';
  out[1] = present ? kDigits[byte & 0xF] : '.';
}

KeyText MakeKey(const AlertKey& entry, const KeyForm& form) {
  KeyText key;
  PutHexOrOpen(&key[0], true, entry.group);
  PutHexOrOpen(&key[2], form.withB, entry.b);
  PutHexOrOpen(&key[4], form.withC, entry.c);
  PutHexOrOpen(&key[6], form.withD, entry.d);
  return key;
}

std::optional<std::uint8_t> LocationByte(const AlertKey& entry, LocationOf location) {
  switch (location) {
    case LocationOf::B:
      return entry.b;
    case LocationOf::C:
      return entry.c;
    case LocationOf::None:
      break;
  }
  return std::nullopt;
}

// Tries the five forms in one section; true when one gave a value.
bool LookUpInSection(const platform::ProfileSection& section, const AlertKey& entry, AlertLookup& result) {
  for (const KeyForm& form : kKeyForms) {
    const KeyText key = MakeKey(entry, form);
    const platform::ProfileEntry* found = section.Find(std::string_view(key.data(), key.size()));
    if (found == nullptr || found->value.empty()) continue;
    result.value = found->value.substr(0, kAlertValueBufferSize - 1);
    result.locationByte = LocationByte(entry, form.location);
    return true;
  }
  return false;
}

bool LookUpInSection(const platform::ProfileDocument& database, std::string_view sectionName, const AlertKey& entry,
                     AlertLookup& result) {
  // A device class without a section name finds nothing.
  if (sectionName.empty()) return false;
  const platform::ProfileSection* section = database.Find(sectionName);
  return section != nullptr && LookUpInSection(*section, entry, result);
}

}  // namespace

bool IsDatabaseVersionSupported(const std::string& dbPath) {
  const std::string version =
      platform::ReadProfileString(dbPath, "File Version", "Current Version", "", kVersionBufferSize);
  return !version.empty() && common::ReadLeadingNumber(version) >= kMinimumDatabaseVersion;
}

AlertLookup LookUpAlert(const std::string& dbPath, const AlertKey& key, std::uint8_t deviceClass) {
  AlertLookup result;
  // One look at the file per entry: the parsed file serves all ten key reads.
  const auto database = platform::LoadProfile(dbPath);
  if (database == nullptr) return result;
  if (LookUpInSection(*database, LoadText(deviceClass), key, result)) return result;
  if (deviceClass != kNoDeviceClass) LookUpInSection(*database, LoadText(kFallbackSectionId), key, result);
  return result;
}

std::string_view GetField(std::string_view value, int n) {
  std::string_view rest = value;
  for (int i = 1; i < n; ++i) {
    const std::size_t separator = rest.find(';');
    if (separator == std::string_view::npos) break;
    rest.remove_prefix(separator + 1);
  }
  return rest.substr(0, rest.find(';'));
}

}  // namespace vigilix
