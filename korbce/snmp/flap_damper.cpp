#include "korbce/snmp/flap_damper.h"

#include <algorithm>
#include <iterator>

namespace korbce::snmp {
namespace {

std::set<std::pair<std::size_t, DetailEntry>> SeenOf(const PrinterConditions& polled) {
  std::set<std::pair<std::size_t, DetailEntry>> seen;
  for (std::size_t bit = 0; bit < kCategoryCount; ++bit) {
    for (const DetailEntry& entry : polled.categories[bit].entries) seen.insert({bit, entry});
  }
  if (polled.offline) seen.insert({kCategoryCount, DetailEntry{}});
  return seen;
}

template <class Set>
Set Minus(const Set& a, const Set& b) {
  Set difference;
  std::ranges::set_difference(a, b, std::inserter(difference, difference.end()));
  return difference;
}

template <class Set>
bool Meet(const Set& a, const Set& b) {
  return std::ranges::any_of(a, [&b](const auto& item) { return b.contains(item); });
}

}  // namespace

bool FlapDamper::Take(const PrinterConditions& polled) {
  Seen seen = SeenOf(polled);
  const Seen before = last_.value_or(seen);
  const Change change{Minus(seen, before), Minus(before, seen)};
  last_ = std::move(seen);
  const bool changed = !change.added.empty() || !change.removed.empty();
  const bool undoes = Meet(change.added, lastChange_.removed) || Meet(change.removed, lastChange_.added);
  flappingPolls_ = !changed ? 0 : undoes ? flappingPolls_ + 1 : 1;
  samePolls_ = changed ? 0 : samePolls_ + 1;
  lastChange_ = changed ? change : Change{};
  if (flappingPolls_ >= kFlapPolls) flapping_ = true;
  if (samePolls_ >= kStablePolls) flapping_ = false;
  return flapping_;
}

}  // namespace korbce::snmp
