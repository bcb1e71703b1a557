#pragma once
// The objects the engine asks of a network printer (SNMPv2-MIB, IF-MIB,
// IP-MIB, HOST-RESOURCES-MIB and the Printer MIB), by number: no MIB file is
// read.

#include "korbce/snmp/var_bind.h"

namespace korbce::snmp::oids {

inline const Oid kSysDescr = {1, 3, 6, 1, 2, 1, 1, 1};
inline const Oid kIfPhysAddress = {1, 3, 6, 1, 2, 1, 2, 2, 1, 6};
inline const Oid kIpAdEntIfIndex = {1, 3, 6, 1, 2, 1, 4, 20, 1, 2};
inline const Oid kHrDeviceType = {1, 3, 6, 1, 2, 1, 25, 3, 2, 1, 2};
inline const Oid kHrDeviceDescr = {1, 3, 6, 1, 2, 1, 25, 3, 2, 1, 3};
inline const Oid kHrDeviceStatus = {1, 3, 6, 1, 2, 1, 25, 3, 2, 1, 5};
inline const Oid kHrDevicePrinter = {1, 3, 6, 1, 2, 1, 25, 3, 1, 5};
inline const Oid kHrPrinterStatus = {1, 3, 6, 1, 2, 1, 25, 3, 5, 1, 1};
inline const Oid kHrPrinterDetectedErrorState = {1, 3, 6, 1, 2, 1, 25, 3, 5, 1, 2};
inline const Oid kPrinterMib = {1, 3, 6, 1, 2, 1, 43};
inline const Oid kPrtGeneralEntry = {1, 3, 6, 1, 2, 1, 43, 5, 1, 1};
inline const Oid kPrtGeneralConfigChanges = {1, 3, 6, 1, 2, 1, 43, 5, 1, 1, 1};
inline const Oid kPrtGeneralPrinterName = {1, 3, 6, 1, 2, 1, 43, 5, 1, 1, 16};
inline const Oid kPrtInputEntry = {1, 3, 6, 1, 2, 1, 43, 8, 2, 1};
inline const Oid kPrtOutputEntry = {1, 3, 6, 1, 2, 1, 43, 9, 2, 1};
inline const Oid kPrtMarkerSuppliesEntry = {1, 3, 6, 1, 2, 1, 43, 11, 1, 1};
inline const Oid kPrtMarkerColorantEntry = {1, 3, 6, 1, 2, 1, 43, 12, 1, 1};
inline const Oid kPrtConsoleDisplayBufferEntry = {1, 3, 6, 1, 2, 1, 43, 16, 5, 1};
inline const Oid kPrtAlertEntry = {1, 3, 6, 1, 2, 1, 43, 18, 1, 1};

// Columns of the Printer-MIB tables.
namespace input {
constexpr std::uint32_t kType = 2, kMaxCapacity = 9, kCurrentLevel = 10, kName = 13, kDescription = 18;
}
namespace output {
constexpr std::uint32_t kName = 7, kDescription = 12;
}
namespace supply {
constexpr std::uint32_t kColorantIndex = 3, kType = 5, kDescription = 6, kMaxCapacity = 8, kLevel = 9;
}
namespace colorant {
constexpr std::uint32_t kValue = 4;
}
namespace console {
constexpr std::uint32_t kText = 2;
}
namespace alert {
constexpr std::uint32_t kSeverityLevel = 2, kTrainingLevel = 3, kGroup = 4, kGroupIndex = 5, kLocation = 6,
                        kCode = 7, kDescription = 8;
}

// The column OID of a table entry.
inline Oid Column(const Oid& entry, std::uint32_t column) {
  Oid oid = entry;
  oid.push_back(column);
  return oid;
}

}  // namespace korbce::snmp::oids
