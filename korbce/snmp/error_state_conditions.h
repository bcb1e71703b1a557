#pragma once
// The conditions of hrPrinterDetectedErrorState, for printers without an
// alert table. The value is one or two octets, most significant bit first;
// further octets are ignored.
//
// Each bit but offline adds an entry of the private code 0xFF00 + the bit's
// number (lowPaper 0 ... overduePreventMaint 14) at location 0; inputTrayEmpty
// reports the same entry as noPaper (0xFF01).

#include <string_view>
#include <vector>

#include "korbce/snmp/condition.h"

namespace korbce::snmp {

// In the order of the bits; offline comes as a condition without an alert.
std::vector<Condition> ErrorStateConditions(std::string_view errorState);

}  // namespace korbce::snmp
