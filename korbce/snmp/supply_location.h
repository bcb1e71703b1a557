#pragma once
// The location byte of a supply alert: the library's supply location that
// fits the supply's type and colorant.

#include <cstdint>

#include "korbce/snmp/printer_tables.h"

namespace korbce::snmp {

namespace supply_location {
constexpr std::uint8_t kUnnamed = 80;  // "Toner Cartridge"
constexpr std::uint8_t kBlack = 81;
constexpr std::uint8_t kCyan = 82;
constexpr std::uint8_t kMagenta = 83;
constexpr std::uint8_t kYellow = 84;
constexpr std::uint8_t kOilBottle = 85;
constexpr std::uint8_t kPhotoconductor = 86;
constexpr std::uint8_t kWasteBottle = 87;
constexpr std::uint8_t kStaples = 88;
constexpr std::uint8_t kFuser = 89;
}  // namespace supply_location

// The location of the supply row; kUnnamed for a supply the printer does not
// describe (null), or whose type and colorant name none of the others.
std::uint8_t SupplyLocation(const SupplyRow* supply, const PrinterTables& tables);

}  // namespace korbce::snmp
