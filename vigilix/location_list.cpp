#include "vigilix/location_list.h"

#include <algorithm>

namespace vigilix {

void LocationList::Add(std::uint8_t key, std::string name) {
  const auto found = std::ranges::find(pairs_, key, &Location::key);
  if (found != pairs_.end()) {
    found->name = std::move(name);
    return;
  }
  pairs_.push_back({key, std::move(name)});
}

std::string LocationList::Name(std::uint8_t key) const {
  const auto found = std::ranges::find(pairs_, key, &Location::key);
  return found == pairs_.end() ? std::string() : found->name;
}

}  // namespace vigilix
