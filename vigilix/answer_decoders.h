#pragma once
// Decoders of the printer's answers. Each reads only within the bytes the
// engine returned: an entry, a name or a count that would reach past them is
// not read, and the rest of that answer is dropped.

#include <cstdint>
#include <span>
#include <vector>

#include "vigilix/location_list.h"
#include "vigilix/printer_database.h"

namespace vigilix {

// Input-source answer: count at byte 1, then entries of key, 29 unused bytes,
// name length L, the name, a count M and M unused bytes.
std::vector<Location> DecodeInputSources(std::span<const std::uint8_t> answer);

// Output-bin answer: count at byte 1, then entries of key, 7 unused bytes,
// name length L and the name.
std::vector<Location> DecodeOutputBins(std::span<const std::uint8_t> answer);

// Category status answer: group code at byte 0, count at byte 1, then entries
// of code bytes B, C, D, a length L and L unused bytes. Each entry comes back
// as the database key (g, B, C, D).
std::vector<AlertKey> DecodeStatusAnswer(std::span<const std::uint8_t> answer);

}  // namespace vigilix
