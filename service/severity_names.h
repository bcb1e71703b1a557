#pragma once
// The names of the severity indexes that events carry.

#include <array>

inline constexpr std::array<const char*, 6> SeverityNames = {"UNKNOWN", "HARMLESS", "WARNING",
                                                             "MINOR",   "CRITICAL", "FATAL"};

// The name of a severity index; "UNKNOWN" for an index outside 0 to 5.
const char* SeverityName(long index);
