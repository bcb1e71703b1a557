#pragma once
// The applet's writer of the settings file.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_io.h"

struct SubnetPair {
  std::string subnet;  // dotted text as shown in the subnet list
  std::string mask;
};

// Everything the applet saves, as plain values.
struct SettingsFileValues {
  std::string serverLocation;
  int serverPort = 0;
  bool netWare = false;
  bool tcpIp = false;
  bool dlc = false;
  std::uint32_t alertCategories = 0;  // ALERT_* bits of the nine alert keys
  int checkSeconds = 0;
  bool onlyDefinedPorts = false;
  int rediscoveryHours = 0;
  std::vector<SubnetPair> subnets;  // in display order; written only when tcpIp is on
};

// The whole file, CR LF line ends. A line break inside a text value ends the
// value there, so that a value can never add lines of its own.
std::string FormatSettingsFile(const SettingsFileValues& values);

// Replaces the file at path with FormatSettingsFile(values) atomically: a
// failed write leaves the old file whole and tells why it failed.
platform::FileResult WriteSettingsFile(const std::string& path, const SettingsFileValues& values);
