#pragma once
// The paper sources and output bins of a printer as the engine names them:
// key = the table's index, name = the printer's name of the row, else its
// description, else "Tray n" (inputs) or "Bin n" (outputs).
//
// Bounded to what the library takes: only indexes 1 to 255 (a key is one
// byte; an index given twice keeps its first row), names cut to 63 bytes, and
// no more rows than the encoded list fits in the library's 1000-byte answer.

#include <cstddef>
#include <vector>

#include "korbce/printer_state.h"
#include "korbce/snmp/printer_snapshot.h"

namespace korbce::snmp {

constexpr std::size_t kMaxLocationNameLength = 63;

std::vector<Location> InputLocations(const std::vector<InputRow>& rows);
std::vector<Location> OutputLocations(const std::vector<OutputRow>& rows);

// Whether one more output of a name of that length still fits the answer.
bool FitsOutputList(const std::vector<Location>& outputs, std::size_t nameLength);

}  // namespace korbce::snmp
