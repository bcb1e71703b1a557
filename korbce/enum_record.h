#pragma once
// The 412-byte printer description handed to the enumeration callback.

#include <array>
#include <cstdint>

#include "bce/bce_records.h"
#include "korbce/printer_state.h"

namespace korbce {

using EnumRecord = std::array<std::uint8_t, PrinterEnumRecordLayout::kSize>;

// The printer's hardware address, id, protocol flags, adapter and port types
// in their places; every other byte 0.
EnumRecord BuildEnumRecord(const PrinterState& printer);

}  // namespace korbce
