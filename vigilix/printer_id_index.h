#pragma once
// Where each printer's entry stands in a list that grows at its end and
// shrinks only at its front: the entry's number of arrival, counted from the
// list's start, one slot per possible 16-bit id.

#include <cstdint>
#include <optional>
#include <vector>

namespace vigilix {

class PrinterIdIndex {
 public:
  std::optional<std::uint64_t> Arrival(std::uint16_t printer) const;
  void Set(std::uint16_t printer, std::uint64_t arrival);
  void Erase(std::uint16_t printer);

 private:
  // Arrival + 1 of each id, 0 when the id has no entry; allocated at the
  // first Set, so that an unused list costs nothing.
  std::vector<std::uint64_t> slots_;
};

}  // namespace vigilix
