#pragma once
// Compiled-in string tables, standing in for string-table resources.

#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace platform {

class StringTable {
 public:
  StringTable(std::initializer_list<std::pair<const unsigned, std::string_view>> entries) : entries_(entries) {}

  // The text of id, or empty text when the table has none.
  std::string Load(unsigned id) const {
    auto found = entries_.find(id);
    return found == entries_.end() ? std::string() : std::string(found->second);
  }
  bool Contains(unsigned id) const { return entries_.contains(id); }

 private:
  std::map<unsigned, std::string_view> entries_;
};

// Replaces %1 to %9 in pattern by the matching argument (empty when missing);
// "%%" stands for one "%".
std::string FormatMessageText(std::string_view pattern, std::initializer_list<std::string_view> arguments);

}  // namespace platform
