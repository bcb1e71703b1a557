#pragma once
// The growable list and the name/value pair that the EIF side builds its
// configuration, filters and event attributes from.

#include <cstddef>
#include <new>
#include <string>
#include <utility>
#include <vector>

// Ends the process with "Memory allocation failure, exiting..." on standard
// error and exit status 1: the EIF side cannot go on without memory.
[[noreturn]] void EifExitOnMemoryFailure();

struct EifPair {
  std::string name;
  std::string value;
};

template <class Item>
class EifList {
 public:
  // Appends a copy of item; running out of memory ends the process.
  void Append(Item item) {
    try {
      items_.push_back(std::move(item));
    } catch (const std::bad_alloc&) {
      EifExitOnMemoryFailure();
    }
  }

  // The item at index, or null past the end.
  const Item* Get(std::size_t index) const { return index < items_.size() ? &items_[index] : nullptr; }
  std::size_t Count() const { return items_.size(); }
  bool Empty() const { return items_.empty(); }

  // The first item for which matches returns 1, or null.
  template <class Predicate>
  const Item* FindFirst(Predicate matches) const {
    for (const Item& item : items_)
      if (matches(item) == 1) return &item;
    return nullptr;
  }

  // 1 as soon as check returns 0 for an item; a result of -1 stops the walk
  // with 0; 0 when every item passes or the list is empty.
  template <class Predicate>
  int Any(Predicate check) const {
    for (const Item& item : items_) {
      int result = check(item);
      if (result == 0) return 1;
      if (result == -1) return 0;
    }
    return 0;
  }

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::vector<Item> items_;
};

using EifFilter = EifList<EifPair>;
