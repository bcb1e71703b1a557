#pragma once
// The recording of a printer described as an engine snapshot: what the agent
// serves is exactly what a probe of the printer would fetch, on device 1 and
// with the hardware address given.

#include <string>
#include <vector>

#include "korbce/snmp/printer_snapshot.h"
#include "tests/support/snmp_agent.h"

namespace snmp_test {

// macHex: 12 hexadecimal digits of the printer's interface, which carries
// 127.0.0.1.
std::vector<SnmpRecord> SnapshotRecords(const korbce::snmp::PrinterSnapshot& snapshot, const std::string& macHex);

}  // namespace snmp_test
