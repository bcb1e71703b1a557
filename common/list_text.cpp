#include "common/list_text.h"

#include "common/blank_text.h"

namespace common {

std::vector<std::string_view> SplitList(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  while (true) {
    const std::size_t end = text.find(separator);
    pieces.push_back(TrimBlanks(text.substr(0, end)));
    if (end == std::string_view::npos) return pieces;
    text.remove_prefix(end + 1);
  }
}

}  // namespace common
