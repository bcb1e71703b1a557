#pragma once
// What the level of a supply or a paper source tells, as the alert row of the
// same condition would report it, so that the two make one entry.
//
// A level counts only when it is known: 0 or more, of a capacity over 0 (-1,
// -2 and -3 are "other", "unknown" and "some left"). Empty is level 0; low is
// a level at or under `percent` of the capacity.

#include <cstdint>
#include <optional>

#include "korbce/snmp/condition.h"
#include "korbce/snmp/printer_tables.h"

namespace korbce::snmp {

// Toner supplies become tonerAlmostEmpty 1104 or tonerEmpty 1101, ink
// supplies inkAlmostEmpty 1105 or inkEmpty 1102, at the supply's location.
// Nothing for other supplies: a waste receptacle fills up, it does not run out.
std::optional<Condition> SupplyLevelCondition(const SupplyRow& supply, const PrinterTables& tables,
                                              std::uint32_t percent);

// supplyLow 807 or supplyEmpty 808 at the input's index; nothing for a manual
// feeder, which is empty as a rule.
std::optional<Condition> InputLevelCondition(const InputRow& input, std::uint32_t percent);

}  // namespace korbce::snmp
