#pragma once
// The key of an alert: its message text, ";-;" and its severity index, e.g.
// "Paper Jam;-;3". It identifies the alert among a printer's active alerts
// and carries message and severity into the event.

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::string_view kAlertKeySeparator = ";-;";

std::string MakeAlertKey(std::string_view text, std::int32_t severityIndex);

struct AlertKeyParts {
  std::string_view message;
  long severityIndex = 0;
};

// Splits at the last separator, so that a message holding ";-;" keeps its
// whole text. The index is read as atoi reads it (0 when no number follows);
// a key without separator is all message, with index 0.
AlertKeyParts SplitAlertKey(std::string_view key);
