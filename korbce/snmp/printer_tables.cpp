#include "korbce/snmp/printer_tables.h"

namespace korbce::snmp {
namespace {

template <class Row>
std::unordered_map<std::int32_t, const Row*> ByIndex(const std::vector<Row>& rows) {
  std::unordered_map<std::int32_t, const Row*> index;
  index.reserve(rows.size());
  for (const Row& row : rows) index.emplace(row.index, &row);
  return index;
}

template <class Row>
const Row* Find(const std::unordered_map<std::int32_t, const Row*>& rows, std::int32_t index) {
  const auto found = rows.find(index);
  return found == rows.end() ? nullptr : found->second;
}

}  // namespace

PrinterTables::PrinterTables(const PrinterSnapshot& snapshot)
    : inputs_(ByIndex(snapshot.inputs)), supplies_(ByIndex(snapshot.supplies)), colorants_(ByIndex(snapshot.colorants)) {}

const InputRow* PrinterTables::Input(std::int32_t index) const { return Find(inputs_, index); }

const SupplyRow* PrinterTables::Supply(std::int32_t index) const { return Find(supplies_, index); }

std::string_view PrinterTables::ColorantValue(std::int32_t index) const {
  const ColorantRow* colorant = Find(colorants_, index);
  return colorant == nullptr ? std::string_view() : std::string_view(colorant->value);
}

}  // namespace korbce::snmp
