#pragma once
// The service's readers of the settings file. Each reads its keys afresh from
// the file at path; a missing file, section or key, or a value that is not a
// number or out of range gives the stated default.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "settings/adapter_settings.h"
#include "settings/subnet_list.h"
#include "bce/alerts.h"

// ENUM_* bits of "Printers To Be Enumerated"; ENUM_NEW_ON_STARTUP unless
// "New Enumeration On Startup" is exactly "No".
std::uint32_t ReadEnumerationMask(const std::string& path);

// Sets each of the nine alert category bits whose key is exactly "Yes" and
// clears the others; every other bit of alerts stays as it was.
void ReadAlertSelection(const std::string& path, ALERTS& alerts);

// The configured subnets, or nothing when the count is outside 1 to 255.
// An address or mask that does not parse is 255.255.255.255; a missing one 0.
std::optional<SubnetList> ReadSubnetList(const std::string& path);

// "Enumerate Only Defined Ports" is exactly "Yes".
bool ReadEnumerateOnlyDefinedPorts(const std::string& path);

// The communication check interval, 16 to 998 seconds, or 0.
std::uint32_t ReadCheckInterval(const std::string& path);

// Sets nextDiscoveryTime to now plus the rediscovery period and returns true
// when the period is 2 to 24 hours; otherwise sets it to now and returns false.
bool ArmRediscovery(const std::string& path, AdapterSettings& settings);
bool ArmRediscovery(const std::string& path, AdapterSettings& settings, std::time_t now);
