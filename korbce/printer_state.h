#pragma once
// What the engine tells about a printer, whichever source serves it: the
// paper sources and output bins it names, and the active detail entries of
// each alert category.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korbce {

// The alert categories of bits 0 to 7 of an alert mask.
constexpr std::size_t kCategoryCount = 8;

// One paper source or output bin.
struct Location {
  std::uint8_t key = 0;
  std::string name;
};

// One detail entry of a category: the bytes B, C and D.
using DetailEntry = std::array<std::uint8_t, 3>;

// The active detail entries of one category.
struct CategoryStatus {
  std::uint8_t group = 0;
  std::vector<DetailEntry> entries;
};

// One printer as the engine core sees it, whichever source serves it: what
// its enumeration record and address tell, and what it answers now.
struct PrinterState {
  std::uint16_t id = 0;
  std::array<std::uint8_t, 6> macAddress{};
  std::uint32_t protocolFlags = 0;
  std::uint16_t adapterType = 0;
  std::uint16_t portType = 0;
  std::string ipAddress;
  std::optional<std::uint8_t> deviceClass;  // nothing: the class command fails
  std::optional<std::string> model;         // nothing: the model command fails
  std::optional<std::vector<Location>> inputs;
  std::optional<std::vector<Location>> outputs;
  bool online = true;    // false: the printer answers nothing
  bool offline = false;  // the printer reports itself offline
  std::array<CategoryStatus, kCategoryCount> categories;

  // The categories with at least one active entry, plus ALERT_OFFLINE.
  std::uint32_t AlertMask() const;
};

}  // namespace korbce
