#pragma once
// The [SNMP] section of the engine's file: which network printers to ask, and
// how.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "korbce/snmp/credentials.h"
#include "korbce/snmp/printer_conditions.h"
#include "korbce/snmp/snmp_target.h"

namespace platform {
struct ProfileSection;
}

namespace korbce::snmp {

struct SnmpConfig {
  std::vector<SnmpTarget> targets;
  Credentials credentials;  // a target's own community stands before the section's
  std::uint16_t port = 161;
  std::chrono::milliseconds timeout{1000};
  std::uint32_t retries = 1;
  std::chrono::seconds poll{60};
  bool scanSubnets = true;
  std::uint32_t maxInFlight = 64;
  std::string idFile;
  std::uint32_t supplyLowPercent = kDefaultSupplyLowPercent;
  std::uint16_t trapPort = 162;  // 0: no notifications are taken
  std::string trapCommunity;     // empty: the section's Community

  bool operator==(const SnmpConfig&) const = default;
};

// Reads the section; every bad value is reported on the trace with fileName
// and its line, and its default kept. defaultIdFile stands when IdFile is not
// given.
SnmpConfig ReadSnmpConfig(const platform::ProfileSection& section, std::string_view fileName,
                          std::string defaultIdFile);

}  // namespace korbce::snmp
