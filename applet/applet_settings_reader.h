#pragma once
// How the applet reads the settings file: values up to 999 characters, flags
// on when "Yes" or "yes", numbers by the usual text-to-integer rule.

#include <string>
#include <string_view>

std::string ReadAppletValue(const std::string& path, std::string_view section, std::string_view key);
bool ReadAppletFlag(const std::string& path, std::string_view section, std::string_view key);
int ReadAppletNumber(const std::string& path, std::string_view section, std::string_view key);
