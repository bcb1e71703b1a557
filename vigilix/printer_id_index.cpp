#include "vigilix/printer_id_index.h"

#include <limits>

namespace vigilix {

namespace {
constexpr std::size_t kIdCount = std::size_t{std::numeric_limits<std::uint16_t>::max()} + 1;
}

std::optional<std::uint64_t> PrinterIdIndex::Arrival(std::uint16_t printer) const {
  if (slots_.empty() || slots_[printer] == 0) return std::nullopt;
  return slots_[printer] - 1;
}

void PrinterIdIndex::Set(std::uint16_t printer, std::uint64_t arrival) {
  if (slots_.empty()) slots_.resize(kIdCount);
  slots_[printer] = arrival + 1;
}

void PrinterIdIndex::Erase(std::uint16_t printer) {
  if (!slots_.empty()) slots_[printer] = 0;
}

}  // namespace vigilix
