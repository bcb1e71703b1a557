#pragma once
// The model a network printer names itself by.

#include <cstddef>
#include <string>
#include <string_view>

#include "korbce/snmp/printer_snapshot.h"

namespace korbce::snmp {

// A device description that names a driver rather than the printer: one that
// starts with the word "generic" in any letter case ("Generic 28C-1",
// "GENERIC PCL").
bool IsGenericDriverName(std::string_view description);

// hrDeviceDescr unless it is blank or a generic driver name; else
// prtGeneralPrinterName; else sysDescr up to its first ';' or ','; else the
// generic description. The printer's bytes are kept, cut to maxLength.
std::string ModelText(const PrinterSnapshot& snapshot, std::size_t maxLength);

}  // namespace korbce::snmp
