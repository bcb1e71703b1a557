#pragma once
// What the engine tells about a printer, whichever source serves it: the
// paper sources and output bins it names, and the active detail entries of
// each alert category.

#include <array>
#include <cstddef>
#include <cstdint>
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

}  // namespace korbce
