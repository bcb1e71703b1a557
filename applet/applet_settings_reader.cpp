#include "applet/applet_settings_reader.h"

#include "common/decimal_text.h"
#include "profile/profile.h"
#include "settings/settings_names.h"

std::string ReadAppletValue(const std::string& path, std::string_view section, std::string_view key) {
  return platform::ReadProfileString(path, section, key, "", APPLET_VALUE_BUFFER);
}

bool ReadAppletFlag(const std::string& path, std::string_view section, std::string_view key) {
  const std::string value = ReadAppletValue(path, section, key);
  return value == "Yes" || value == "yes";
}

int ReadAppletNumber(const std::string& path, std::string_view section, std::string_view key) {
  return common::ReadLeadingInteger(ReadAppletValue(path, section, key));
}
