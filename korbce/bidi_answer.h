#pragma once
// What a printer answers to the commands of BceSendBidi, from its state.

#include <cstdint>
#include <optional>
#include <vector>

#include "korbce/printer_state.h"

namespace korbce {

// The answer bytes, or nothing when the printer does not answer the command.
std::optional<std::vector<std::uint8_t>> AnswerCommand(const PrinterState& printer, std::uint32_t command);

// The status answer of one category: group, count, then B C D 0 per entry.
std::vector<std::uint8_t> CategoryAnswer(const CategoryStatus& status);

}  // namespace korbce
