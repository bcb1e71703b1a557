#include "korbce/capture.h"

#include <atomic>

#include "bce/alerts.h"
#include "korbce/bidi_answer.h"

namespace korbce {

AlertState ReadAlertState(const PrinterState& printer, std::uint32_t categories) {
  AlertState state;
  state.mask = printer.AlertMask() & categories;
  for (std::size_t bit = 0; bit < kCategoryCount; ++bit) {
    if ((state.mask & (1u << bit)) == 0) continue;
    const auto answer = CategoryAnswer(printer.categories[bit]);
    state.answers.insert(state.answers.end(), answer.begin(), answer.end());
  }
  return state;
}

std::uint32_t ReadCategories(ALERTS* alerts) {
  return std::atomic_ref<std::uint32_t>(alerts->dwCategories).load(std::memory_order_relaxed);
}

}  // namespace korbce
