#include "korbce/snmp/polled_levels.h"

#include <algorithm>

namespace korbce::snmp {
namespace {

template <class Row>
void TakeRowLevels(std::vector<Row>& rows, const std::vector<Row>& polled) {
  for (const Row& fresh : polled) {
    const auto row = std::ranges::find(rows, fresh.index, &Row::index);
    if (row != rows.end() && fresh.level) row->level = fresh.level;
  }
}

}  // namespace

void TakeLevels(PrinterSnapshot& snapshot, const PrinterSnapshot& polled) {
  TakeRowLevels(snapshot.supplies, polled.supplies);
  TakeRowLevels(snapshot.inputs, polled.inputs);
  snapshot.console = polled.console;
}

}  // namespace korbce::snmp
