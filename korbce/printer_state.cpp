#include "korbce/printer_state.h"

#include "bce/alerts.h"

namespace korbce {

std::uint32_t PrinterState::AlertMask() const {
  std::uint32_t mask = offline ? ALERT_OFFLINE : 0;
  for (std::size_t bit = 0; bit < kCategoryCount; ++bit) {
    if (!categories[bit].entries.empty()) mask |= 1u << bit;
  }
  return mask;
}

}  // namespace korbce
