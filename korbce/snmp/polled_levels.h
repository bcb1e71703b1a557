#pragma once
// What a poll fetches beside the alerts: the levels of supplies and paper
// sources, and the front panel's text.

#include "korbce/snmp/printer_snapshot.h"

namespace korbce::snmp {

// Gives the rows of snapshot the levels polled has for their index, and takes
// polled's front panel lines. A row that polled lacks keeps its level.
void TakeLevels(PrinterSnapshot& snapshot, const PrinterSnapshot& polled);

}  // namespace korbce::snmp
