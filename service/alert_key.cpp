#include "service/alert_key.h"

#include <cstdlib>

std::string MakeAlertKey(std::string_view text, std::int32_t severityIndex) {
  std::string key(text);
  key += kAlertKeySeparator;
  key += std::to_string(severityIndex);
  return key;
}

AlertKeyParts SplitAlertKey(std::string_view key) {
  const std::size_t separator = key.rfind(kAlertKeySeparator);
  if (separator == std::string_view::npos) return {key, 0};
  const std::string number(key.substr(separator + kAlertKeySeparator.size()));
  return {key.substr(0, separator), std::strtol(number.c_str(), nullptr, 10)};
}
