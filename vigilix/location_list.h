#pragma once
// A printer's named paper sources or output bins, keyed by one byte, in order
// of arrival.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vigilix {

struct Location {
  std::uint8_t key;
  std::string name;
};

class LocationList {
 public:
  // Replaces the name of a key already present; otherwise appends the pair.
  void Add(std::uint8_t key, std::string name);
  // The name of the first pair with that key; the empty text when absent.
  std::string Name(std::uint8_t key) const;
  std::size_t Size() const { return pairs_.size(); }

 private:
  std::vector<Location> pairs_;
};

}  // namespace vigilix
