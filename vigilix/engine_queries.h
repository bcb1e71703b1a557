#pragma once
// Questions to a printer through the engine's BceSendBidi, on the calling
// thread. A query succeeds when the engine returns 0.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "vigilix/location_list.h"

namespace vigilix {

constexpr std::uint32_t kAnswerBufferSize = 323;
constexpr std::uint32_t kListAnswerBufferSize = 1000;

// The printer's device class (command 86); 255 when it does not answer.
std::uint8_t QueryDeviceClass(std::int16_t application, std::uint16_t printer);

// The printer's model text (command 16); empty when it does not answer.
std::string QueryModel(std::int16_t application, std::uint16_t printer);

// Adds the printer's paper sources (command 18) or output bins (command 19) to
// the list; false, with the list unchanged, when it does not answer.
bool QueryInputSources(std::int16_t application, std::uint16_t printer, LocationList& sources);
bool QueryOutputBins(std::int16_t application, std::uint16_t printer, LocationList& bins);

// The answer bytes of a category status query (commands 4 to 11); nothing
// when the query fails or returns no bytes.
std::optional<std::vector<std::uint8_t>> QueryCategoryStatus(std::int16_t application, std::uint16_t printer,
                                                             std::uint32_t command);

}  // namespace vigilix
