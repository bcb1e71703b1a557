#pragma once
// What one row of a printer's alert table means: the condition it reports and
// the detail entry that condition adds to its category.
//
// An entry's B is the location byte: the input or output index for paper
// sources and bins (0 when it lies outside 1 to 255), the supply location 80
// to 90 for supplies, 89 for fuser failures, 0 for conditions without a
// location. C:D is the alert code, high byte first, with one exception: the
// jam code 8 is the same in every alert group, so a jam's C is its alert group
// (0 when outside 1 to 255) and D is 08. Codes that do not fit in 16 bits, or
// that fall among the private codes, are 0xFFFF.

#include <optional>

#include "korbce/snmp/condition.h"
#include "korbce/snmp/printer_tables.h"

namespace korbce::snmp {

// Nothing for rows that report no trouble: state notices (power saver,
// warming up, ready, closed, ...) and rows no rule names whose severity is
// neither critical nor binary change.
std::optional<Condition> RowCondition(const AlertRow& row, const PrinterTables& tables);

// Whether the row tells of a state, not of trouble.
bool IsStateNotice(const AlertRow& row);

}  // namespace korbce::snmp
