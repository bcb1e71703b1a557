#pragma once
// The library's string table: database section names, alert messages,
// locations and tray levels, looked up by numeric id.

#include <string_view>

namespace vigilix {

// Ids of the texts that the library uses directly.
constexpr int kTextOffline = 10140;
constexpr int kTextReady = 10190;
constexpr int kTextNotCommunicating = 10205;
constexpr int kTextCommunicationRestored = 10206;
// Bases of the computed ids.
constexpr int kMessageTextBase = 10100;
constexpr int kLocationTextBase = 20100;
// The section name of device class 255.
constexpr int kFallbackSectionId = 255;

// The text with that id, or the empty text when the id has none.
std::string_view LoadText(int id);

}  // namespace vigilix
