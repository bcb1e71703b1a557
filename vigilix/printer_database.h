#pragma once
// The printer database "VXPrtDb.ini": its version check and the lookup of one
// detail entry of a printer's status answer.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vigilix {

constexpr std::string_view kDatabaseFileName = "VXPrtDb.ini";
constexpr std::size_t kDatabasePathBufferSize = 1000;
constexpr double kMinimumDatabaseVersion = 1.3;
// Alert values are cut to 322 characters.
constexpr std::size_t kAlertValueBufferSize = 323;
// The device class whose only section is the fallback section.
constexpr std::uint8_t kNoDeviceClass = 255;

// True when the file's "Current Version" of "File Version" is 1.3 or more.
bool IsDatabaseVersionSupported(const std::string& dbPath);

// The bytes of one detail entry: group code g and code bytes B, C, D.
struct AlertKey {
  std::uint8_t group;
  std::uint8_t b;
  std::uint8_t c;
  std::uint8_t d;
};

struct AlertLookup {
  std::string value;  // empty when no key form matched
  // The byte that the matching key form left open; none for a full-key match.
  std::optional<std::uint8_t> locationByte;
};

// Tries the five key forms, from the full key to the group code alone, in the
// device class's section, then once in the fallback section.
AlertLookup LookUpAlert(const std::string& dbPath, const AlertKey& key, std::uint8_t deviceClass);

// Field n (from 1) of a ";"-separated value; beyond the last field, the last.
std::string_view GetField(std::string_view value, int n);

}  // namespace vigilix
