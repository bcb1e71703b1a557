#pragma once
// The service's in-memory settings and the printer classes it enumerates.

#include <cstdint>
#include <string>

#include "bce/alerts.h"

// Bits of EnumerationMask, as the printer communication engine takes them.
inline constexpr std::uint32_t ENUM_NETWARE = 0x1;
inline constexpr std::uint32_t ENUM_TCPIP = 0x2;
inline constexpr std::uint32_t ENUM_KORLINK = 0x8;
inline constexpr std::uint32_t ENUM_DLC = 0x20;
inline constexpr std::uint32_t ENUM_ALL_NETWORK = 0x3FF;  // every network class
inline constexpr std::uint32_t ENUM_LOCAL = 0x800;
inline constexpr std::uint32_t ENUM_NEW_ON_STARTUP = 0x80000000;

struct AdapterSettings {
  std::string settingsPath;            // full path of "KorEvntS.ini"
  std::uint32_t EnumerationMask = 0;   // ENUM_* bits
  ALERTS alertSelection{0};            // categories to capture for each printer
  bool onlyDefinedPorts = false;       // discover printers on this machine's ports only
  std::uint32_t checkInterval = 0;     // communication check in seconds; 0: none
  std::int64_t nextDiscoveryTime = 0;  // seconds since 1970 of the next rediscovery pass
};
