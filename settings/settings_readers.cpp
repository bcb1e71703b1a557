#include "settings/settings_readers.h"

#include "common/decimal_text.h"
#include "common/ipv4_text.h"
#include "profile/profile.h"
#include "settings/settings_names.h"

namespace {

std::string ReadValue(const std::string& path, std::string_view section, std::string_view key) {
  return platform::ReadProfileString(path, section, key, "", SERVICE_VALUE_BUFFER);
}

bool IsYes(const std::string& path, std::string_view section, std::string_view key) {
  return ReadValue(path, section, key) == FLAG_YES;
}

std::int32_t ReadNumber(const std::string& path, std::string_view section, std::string_view key) {
  return common::ReadLeadingInteger(ReadValue(path, section, key));
}

// The address in key of "Enumeration", or 0 when the key is missing or empty.
std::uint32_t ReadAddress(const std::string& path, const std::string& key) {
  std::string text = ReadValue(path, SECTION_ENUMERATION, key);
  return text.empty() ? 0 : common::ParseIPv4HostOrder(text).value_or(common::kNoIPv4Address);
}

}  // namespace

std::uint32_t ReadEnumerationMask(const std::string& path) {
  struct ClassKey {
    std::string_view key;
    std::uint32_t bits;
  };
  static constexpr ClassKey classKeys[] = {
      {KEY_ALL_LOCAL, ENUM_LOCAL}, {KEY_ALL_NETWORK, ENUM_ALL_NETWORK}, {KEY_ALL_NETWARE, ENUM_NETWARE},
      {KEY_ALL_TCPIP, ENUM_TCPIP}, {KEY_ALL_KORLINK, ENUM_KORLINK},     {KEY_ALL_DLC, ENUM_DLC},
  };
  std::uint32_t mask = 0;
  for (const ClassKey& classKey : classKeys) {
    if (IsYes(path, SECTION_PRINTERS, classKey.key)) mask |= classKey.bits;
  }
  if (ReadValue(path, SECTION_PRINTERS, KEY_NEW_ON_STARTUP) != FLAG_NO) mask |= ENUM_NEW_ON_STARTUP;
  return mask;
}

void ReadAlertSelection(const std::string& path, ALERTS& alerts) {
  for (const AlertKey& alertKey : ALERT_KEYS) {
    if (IsYes(path, SECTION_ALERTS, alertKey.key)) {
      alerts.dwCategories |= alertKey.category;
    } else {
      alerts.dwCategories &= ~alertKey.category;
    }
  }
}

std::optional<SubnetList> ReadSubnetList(const std::string& path) {
  std::int32_t count = ReadNumber(path, SECTION_ENUMERATION, KEY_SUBNET_COUNT);
  if (count < 1 || count > static_cast<std::int32_t>(MAX_SUBNETS)) return std::nullopt;

  SubnetList list(static_cast<std::uint32_t>(count));
  for (std::uint32_t entry = 0; entry < list.Count(); ++entry) {
    int number = static_cast<int>(entry) + 1;
    list.SetAddress(entry, ReadAddress(path, SubnetKey(number)));
    list.SetMask(entry, ReadAddress(path, SubnetMaskKey(number)));
  }
  return list;
}

bool ReadEnumerateOnlyDefinedPorts(const std::string& path) {
  return IsYes(path, SECTION_ENUMERATION, KEY_ONLY_DEFINED_PORTS);
}

std::uint32_t ReadCheckInterval(const std::string& path) {
  std::int32_t seconds = ReadNumber(path, SECTION_ALERTS, KEY_CHECK_SECONDS);
  return seconds >= 16 && seconds <= 998 ? static_cast<std::uint32_t>(seconds) : 0;
}

bool ArmRediscovery(const std::string& path, AdapterSettings& settings) {
  return ArmRediscovery(path, settings, std::time(nullptr));
}

bool ArmRediscovery(const std::string& path, AdapterSettings& settings, std::time_t now) {
  settings.nextDiscoveryTime = now;
  std::int32_t hours = ReadNumber(path, SECTION_ENUMERATION, KEY_REDISCOVERY_HOURS);
  if (hours < 2 || hours > 24) return false;
  settings.nextDiscoveryTime += std::int64_t{hours} * 3600;
  return true;
}
